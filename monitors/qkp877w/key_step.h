// What one polled key does to the QkP877W state, apart from drawing. Only
// the arrows (toggling the dump page between 000 and 100), Backspace and
// Enter act; every other key, Esc and the Page keys included, is typed.
#pragma once

#include <string_view>

#include "monitor_state.h"

namespace qkp877w {

namespace key {
inline constexpr char kBackspace = 8;
inline constexpr char kEnter = 13;
inline constexpr char kUp = 30;
inline constexpr char kDown = 31;
}  // namespace key

enum class KeyAction {
    LineEdited,  // show commandLine and 11 blanks at (12, 21)
    PageMoved,   // dumpBase toggled: draw the dump page
    Execute,     // run the command in commandLine (Enter)
};

KeyAction key_step(MonitorState& state, std::string_view key);

}  // namespace qkp877w
