// Function keys and the mode step: which display mode is asked for, and
// which entry routine the next main-loop cycle runs; and the status line.
//
// The board's description decides: Qk14 binds F1-F12 (F1-F11 ask for their
// mode and end logging, F12 asks for the last command again); QkP877W binds
// F1-F11, which only ask for their mode, and keeps the change list's last
// value from one visit to the next.
#pragma once

#include <optional>
#include <string>

#include "monitors/monitor_shared/board_description.h"
#include "monitors/monitor_shared/monitor_state.h"

namespace monitor {

struct FunctionKeyEffect {
    bool close_log_file = false;  // the log file must be closed now
    bool switch_key_off = false;  // this key ignores presses until the mode step
};

// A bound function key pressed (`key` 1-12).
FunctionKeyEffect press_function_key(MonitorState& state, int key, const BoardDescription& board);

// The mode step: the mode whose entry routine runs in this cycle, if any. A
// pending request runs when it differs from the current mode, and always for
// F10 (its file list opens again) and Qk14's F11 (its log prompt opens
// again); a request for the mode already shown is dropped. The entry
// routines clear `requested_mode` themselves.
std::optional<DisplayMode> take_mode_entry(MonitorState& state, const BoardDescription& board);

// The status line: "Channel=COM0" to "Channel=COM3" (any other channel
// value); Qk14 adds a blank, the data-bit digit and "bit".
std::string channel_status_text(const Settings& settings, const BoardDescription& board);

}  // namespace monitor
