#include "key_chord.h"

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

constexpr std::array named_keys{
    NamedKey{"Up", vk::Up},           NamedKey{"Down", vk::Down},         NamedKey{"Left", vk::Left},
    NamedKey{"Right", vk::Right},     NamedKey{"Home", vk::Home},         NamedKey{"End", vk::End},
    NamedKey{"PageUp", vk::PageUp},   NamedKey{"PgUp", vk::PageUp},       NamedKey{"Prior", vk::PageUp},
    NamedKey{"PageDown", vk::PageDown}, NamedKey{"PgDn", vk::PageDown},   NamedKey{"Next", vk::PageDown},
    NamedKey{"Insert", vk::Insert},   NamedKey{"Ins", vk::Insert},        NamedKey{"Delete", vk::Delete},
    NamedKey{"Del", vk::Delete},      NamedKey{"Enter", vk::Return},      NamedKey{"Return", vk::Return},
    NamedKey{"Esc", vk::Escape},      NamedKey{"Escape", vk::Escape},     NamedKey{"Backspace", vk::Back},
    NamedKey{"Back", vk::Back},       NamedKey{"Tab", vk::Tab},           NamedKey{"Space", vk::Space},
    NamedKey{"Shift", vk::Shift},     NamedKey{"Ctrl", vk::Control},      NamedKey{"Control", vk::Control},
    NamedKey{"Alt", vk::Menu},        NamedKey{"Pause", vk::Pause},
};

Message key_message(WindowId window, MessageKind kind, std::uint32_t key)
{
    const bool down = kind == MessageKind::KeyDown || kind == MessageKind::SysKeyDown;
    return Message{.window = window, .kind = kind, .key = key, .repeat_count = down ? 1 : 0};
}

}  // namespace

std::optional<std::uint32_t> virtual_key_from_name(std::string_view name) noexcept
{
    for (const NamedKey& key : named_keys) {
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
            return vk::F1 + std::uint32_t(number - 1);
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
    case vk::Return: return std::uint8_t{13};
    case vk::Escape: return std::uint8_t{27};
    case vk::Back: return std::uint8_t{8};
    case vk::Tab: return std::uint8_t{9};
    case vk::Space: return std::uint8_t{' '};
    default: return std::nullopt;
    }
}

std::vector<Message> key_chord_messages(const KeyChord& chord, WindowId window)
{
    std::vector<Message> messages;
    constexpr std::uint32_t f10 = vk::F1 + 9;  // F10 arrives as a system key
    const bool system_key = chord.alt || chord.virtual_key == f10;
    const MessageKind down = system_key ? MessageKind::SysKeyDown : MessageKind::KeyDown;
    const MessageKind up = system_key ? MessageKind::SysKeyUp : MessageKind::KeyUp;
    if (chord.shift)
        messages.push_back(key_message(window, down, vk::Shift));
    if (chord.ctrl)
        messages.push_back(key_message(window, down, vk::Control));
    if (chord.alt)
        messages.push_back(key_message(window, MessageKind::SysKeyDown, vk::Menu));
    messages.push_back(key_message(window, down, chord.virtual_key));
    if (const auto character = chord_character(chord))
        messages.push_back(Message{.window = window, .kind = MessageKind::Char, .character = static_cast<std::uint8_t>(*character)});
    messages.push_back(key_message(window, up, chord.virtual_key));
    if (chord.alt)
        messages.push_back(key_message(window, MessageKind::KeyUp, vk::Menu));
    if (chord.ctrl)
        messages.push_back(key_message(window, MessageKind::KeyUp, vk::Control));
    if (chord.shift)
        messages.push_back(key_message(window, MessageKind::KeyUp, vk::Shift));
    return messages;
}

std::optional<std::uint32_t> function_key_for_alt(char32_t character) noexcept
{
    if (character >= U'1' && character <= U'9')
        return vk::F1 + std::uint32_t(character - U'1');
    switch (character) {
    case U'0': return vk::F1 + 9;
    case U'-': return vk::F1 + 10;
    case U'=': return vk::F1 + 11;
    default: return std::nullopt;
    }
}

}  // namespace host
