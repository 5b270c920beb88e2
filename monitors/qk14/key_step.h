// What one polled key does to the monitor state (the key step of the main
// loop), apart from drawing: the caller draws what the returned action says.
#pragma once

#include <string_view>

#include "monitor_state.h"

namespace qk14 {

namespace key {
inline constexpr char kBackspace = 8;
inline constexpr char kEnter = 13;
inline constexpr char kPageUp = 19;
inline constexpr char kPageDown = 20;
inline constexpr char kEscape = 27;
inline constexpr char kUp = 30;
inline constexpr char kDown = 31;
}  // namespace key

enum class KeyAction {
    LineEdited,   // show commandLine and two blanks at (12, 21)
    Restart,      // Esc: close everything and run start-up again
    PageMoved,    // dumpBase changed: draw the dump page
    Execute,      // run the command in commandLine (Enter)
    Repeat,       // F12 was pressed: commandLine is lastCommand; show it, then execute
};

// `key` is what the key poll returned: empty when no key was waiting.
KeyAction key_step(MonitorState& state, std::string_view key);

// After a command, successful or not: the command line is empty again.
void finish_command(MonitorState& state);

}  // namespace qk14
