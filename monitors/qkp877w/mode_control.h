// QkP877W's function keys and mode step: F1-F11 only ask for their mode; a
// request runs when it differs from the current mode, and always for 10 (the
// file list opens again); a repeated 11 is dropped, so the change list goes on.
#pragma once

#include <optional>
#include <string>

#include "monitor_state.h"

namespace qkp877w {

inline constexpr int kBoundFunctionKeys = 11;  // F12 has no handler

// F1-F11 pressed: the requested mode. The caller switches the key off.
void press_function_key(MonitorState& state, int key);

std::optional<DisplayMode> take_mode_entry(MonitorState& state);

// The status line: "Channel=COM0" to "Channel=COM3" (any other channel value).
std::string channel_status_text(const monitor::Settings& settings);

}  // namespace qkp877w
