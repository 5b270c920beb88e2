// A key with modifiers ("F5", "shift+Home", "ctrl+C") and the messages a
// window receives for one press of it: key downs of the modifiers,
// the key down (system key down with Alt or for F10), the character message
// when the key makes one, and the key ups in reverse order.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "host/message.h"

namespace host {

struct KeyChord {
    std::uint32_t virtual_key = 0;
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

// Key names, case-insensitive: F1..F12, Up, Down, Left, Right, Home, End,
// PageUp (PgUp, Prior), PageDown (PgDn, Next), Insert (Ins), Delete (Del),
// Enter (Return), Esc (Escape), Backspace (Back), Tab, Space, Shift, Ctrl,
// Alt, a single letter or digit.
std::optional<std::uint32_t> virtual_key_from_name(std::string_view name) noexcept;
// "shift+ctrl+Home", modifiers shift/ctrl/control/alt in any order.
std::optional<KeyChord> parse_key_chord(std::string_view text) noexcept;

// The character code a key makes (Enter 13, Esc 27, ctrl+C 3, a letter...), if any.
std::optional<std::uint8_t> chord_character(const KeyChord& chord) noexcept;
std::vector<Message> key_chord_messages(const KeyChord& chord, WindowId window);

// The function key that Alt and a character stand for, where the desktop keeps
// the function keys for itself: Alt+1..Alt+9 F1..F9, Alt+0 F10, Alt+- F11,
// Alt+= F12. Both the terminal and the window front ends use it.
std::optional<std::uint32_t> function_key_for_alt(char32_t character) noexcept;

}  // namespace host
