// Start-up (and Esc restart) with the settings file: the modes start at the
// dump page, the settings and the F2-F9 names take what the file gives, and
// an "AD=" record moves the dump page.
#pragma once

#include <string_view>

#include "monitor_state.h"

namespace qk14 {

// Reads "QK.DEF"'s bytes into the state. Returns 0, or the runtime error
// number the file raises (the program ends with its report then).
std::uint16_t start_with_settings(MonitorState& state, std::string_view settingsFile);

}  // namespace qk14
