// Function keys and the mode step: which display mode is asked for, and
// which entry routine the next main-loop cycle runs.
#pragma once

#include <optional>

#include "monitor_state.h"

namespace qk14 {

struct FunctionKeyEffect {
    bool closeLogFile = false;  // the log file must be closed now
    bool switchKeyOff = false;  // this key ignores presses until the mode step
};

// F1-F12 pressed (`key` 1-12).
FunctionKeyEffect press_function_key(MonitorState& state, int key);

// The mode step: the mode whose entry routine runs in this cycle, if any. A
// pending request runs when it differs from the current mode, and always for
// 10 and 11 (they prompt again); a request for the mode already shown is
// dropped. The entry routines clear `requestedMode` themselves.
std::optional<DisplayMode> take_mode_entry(MonitorState& state);

// The status line: channel text, data-bit digit and "bit".
std::string channel_status_text(const monitor::Settings& settings);

}  // namespace qk14
