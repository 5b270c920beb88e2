// What start-up (and the Esc restart) takes from the settings just read:
// the F2-F9 names for the legend, and the first dump page when the file had
// an "AD=" record (otherwise the page stays where it was).
#pragma once

#include "monitor_state.h"

namespace qk14 {

void take_settings(MonitorState& state, bool startAddressRead);

}  // namespace qk14
