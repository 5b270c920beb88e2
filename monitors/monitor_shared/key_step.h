// What one polled key does to the monitor state (the key step of the main
// loop takes every waiting key, one at a time), apart from drawing: the
// caller draws what the returned action says.
// Both monitors move the dump page with the arrows, edit with Backspace and
// execute with Enter. Where the board's description says so (Qk14), Esc
// restarts, the Page keys move 4 KB and F12 replays the last command;
// otherwise (QkP877W) those keys are typed into the line like any other.
#pragma once

#include <string>
#include <string_view>

#include "monitors/monitor_shared/board_description.h"
#include "monitors/monitor_shared/monitor_state.h"

namespace monitor {

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
    LineEdited,  // show command_line and its trailing blanks at (12, 21)
    Restart,     // Esc: close everything and run start-up again
    PageMoved,   // dump_base changed: draw the dump page
    Execute,     // run the command in command_line (Enter)
    Repeat,      // F12 was pressed: command_line is last_command; show it, then execute
};

// `key` is what the key poll returned: empty when no key was waiting.
KeyAction key_step(MonitorState& state, std::string_view key, const BoardDescription& board);

// The command line after one polled key has been typed into it (an empty
// key: nothing typed, the line is only trimmed), by the board's
// `typed_key_join`: LineCutThenKey (Qk14) keeps the first 37 bytes and then
// appends the key, so a 38th byte shows until the next key or cycle drops
// it; KeyThenCut (QkP877W) appends and then cuts to 37 bytes.
std::string typed_command_line(std::string_view line, std::string_view key, const BoardDescription& board);

// Printed at (12, 21) after each key: the line and the blanks that wipe what
// a removed or dropped byte left.
std::string command_row_text(std::string_view command_line, int trailing_blanks);

}  // namespace monitor
