// SDL2 keyboard events as desktop messages. Key codes and modifier bits are
// passed as SDL's numbers (SDL_Keycode, SDL_Keymod) so that this header needs
// no SDL include.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "host/message.h"

namespace host {

// The virtual key code of an SDL key code, if the console knows the key.
std::optional<std::uint32_t> virtual_key_for_sdl(std::int32_t sdl_keycode) noexcept;

// Key down or up: KeyDown/KeyUp (SysKeyDown/SysKeyUp with Alt, and for F10),
// plus the Char message of keys that make a control character (Enter 13,
// Esc 27, Backspace 8, Tab 9, Ctrl+letter 1..26 with Ctrl+C 3). Printable
// characters come with SDL's text input instead. Left Alt with 1..9, 0, -
// and = gives the messages of F1..F12 (function_key_for_alt).
std::vector<Message> messages_for_sdl_key(bool down, std::int32_t sdl_keycode, std::uint16_t sdl_modifiers,
                                          WindowId window);

}  // namespace host
