#include "host/key_chord.h"

#include <array>
#include <cctype>
#include <string>
#include <utility>

namespace host {
namespace {

bool equal_ignoring_case(std::string_view a, std::string_view b) noexcept
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

struct NamedKey {
    std::string_view name;
    std::uint32_t virtual_key;
};

constexpr std::array kNamedKeys{
    NamedKey{"Up", vk::kUp},           NamedKey{"Down", vk::kDown},         NamedKey{"Left", vk::kLeft},
    NamedKey{"Right", vk::kRight},     NamedKey{"Home", vk::kHome},         NamedKey{"End", vk::kEnd},
    NamedKey{"PageUp", vk::kPageUp},   NamedKey{"PgUp", vk::kPageUp},       NamedKey{"Prior", vk::kPageUp},
    NamedKey{"PageDown", vk::kPageDown}, NamedKey{"PgDn", vk::kPageDown},   NamedKey{"Next", vk::kPageDown},
    NamedKey{"Insert", vk::kInsert},   NamedKey{"Ins", vk::kInsert},        NamedKey{"Delete", vk::kDelete},
    NamedKey{"Del", vk::kDelete},      NamedKey{"Enter", vk::kReturn},      NamedKey{"Return", vk::kReturn},
    NamedKey{"Esc", vk::kEscape},      NamedKey{"Escape", vk::kEscape},     NamedKey{"Backspace", vk::kBack},
    NamedKey{"Back", vk::kBack},       NamedKey{"Tab", vk::kTab},           NamedKey{"Space", vk::kSpace},
    NamedKey{"Shift", vk::kShift},     NamedKey{"Ctrl", vk::kControl},      NamedKey{"Control", vk::kControl},
    NamedKey{"Alt", vk::kMenu},        NamedKey{"Pause", vk::kPause},
};

Message key_message(WindowId window, MessageKind kind, std::uint32_t key)
{
    const bool down = kind == MessageKind::KeyDown || kind == MessageKind::SysKeyDown;
    return Message{.window = window, .kind = kind, .key = key, .repeat_count = down ? 1 : 0};
}

}  // namespace

std::optional<std::uint32_t> virtual_key_from_name(std::string_view name) noexcept
{
    for (const NamedKey& key : kNamedKeys) {
        if (equal_ignoring_case(name, key.name))
            return key.virtual_key;
    }
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
        return static_cast<std::uint32_t>(std::toupper(static_cast<unsigned char>(name[0])));
    if (name.size() >= 2 && name.size() <= 3 && (name[0] == 'F' || name[0] == 'f')) {
        int number = 0;
        for (char c : name.substr(1)) {
            if (!std::isdigit(static_cast<unsigned char>(c)))
                return std::nullopt;
            number = number * 10 + (c - '0');
        }
        if (number >= 1 && number <= 12)
            return vk::kF1 + std::uint32_t(number - 1);
    }
    return std::nullopt;
}

std::optional<KeyChord> parse_key_chord(std::string_view text) noexcept
{
    KeyChord chord;
    while (true) {
        const std::size_t plus = text.find('+');
        // A trailing "+" alone would be the key itself; there is no "+" key name.
        if (plus == std::string_view::npos || plus + 1 == text.size())
            break;
        const std::string_view modifier = text.substr(0, plus);
        if (equal_ignoring_case(modifier, "shift"))
            chord.shift = true;
        else if (equal_ignoring_case(modifier, "ctrl") || equal_ignoring_case(modifier, "control"))
            chord.ctrl = true;
        else if (equal_ignoring_case(modifier, "alt"))
            chord.alt = true;
        else
            return std::nullopt;
        text.remove_prefix(plus + 1);
    }
    const auto key = virtual_key_from_name(text);
    if (!key)
        return std::nullopt;
    chord.virtual_key = *key;
    return chord;
}

std::optional<std::uint8_t> chord_character(const KeyChord& chord) noexcept
{
    if (chord.alt)
        return std::nullopt;
    const std::uint32_t v = chord.virtual_key;
    if (v >= 'A' && v <= 'Z') {
        if (chord.ctrl)
            return std::uint8_t(v - 'A' + 1);
        return std::uint8_t(chord.shift ? v : v - 'A' + 'a');
    }
    if (chord.ctrl)
        return std::nullopt;
    if (v >= '0' && v <= '9')
        return std::uint8_t(v);
    switch (v) {
    case vk::kReturn: return std::uint8_t{13};
    case vk::kEscape: return std::uint8_t{27};
    case vk::kBack: return std::uint8_t{8};
    case vk::kTab: return std::uint8_t{9};
    case vk::kSpace: return std::uint8_t{' '};
    default: return std::nullopt;
    }
}

std::vector<Message> key_chord_messages(const KeyChord& chord, WindowId window)
{
    std::vector<Message> messages;
    constexpr std::uint32_t kF10 = vk::kF1 + 9;  // F10 arrives as a system key
    const bool system_key = chord.alt || chord.virtual_key == kF10;
    const MessageKind down = system_key ? MessageKind::SysKeyDown : MessageKind::KeyDown;
    const MessageKind up = system_key ? MessageKind::SysKeyUp : MessageKind::KeyUp;
    if (chord.shift)
        messages.push_back(key_message(window, down, vk::kShift));
    if (chord.ctrl)
        messages.push_back(key_message(window, down, vk::kControl));
    if (chord.alt)
        messages.push_back(key_message(window, MessageKind::SysKeyDown, vk::kMenu));
    messages.push_back(key_message(window, down, chord.virtual_key));
    if (const auto character = chord_character(chord))
        messages.push_back(Message{.window = window, .kind = MessageKind::Char, .character = static_cast<std::uint8_t>(*character)});
    messages.push_back(key_message(window, up, chord.virtual_key));
    if (chord.alt)
        messages.push_back(key_message(window, MessageKind::KeyUp, vk::kMenu));
    if (chord.ctrl)
        messages.push_back(key_message(window, MessageKind::KeyUp, vk::kControl));
    if (chord.shift)
        messages.push_back(key_message(window, MessageKind::KeyUp, vk::kShift));
    return messages;
}

std::optional<std::uint32_t> function_key_for_alt(char32_t character) noexcept
{
    if (character >= U'1' && character <= U'9')
        return vk::kF1 + std::uint32_t(character - U'1');
    switch (character) {
    case U'0': return vk::kF1 + 9;
    case U'-': return vk::kF1 + 10;
    case U'=': return vk::kF1 + 11;
    default: return std::nullopt;
    }
}

}  // namespace host
