// How a faulty board spoils a reply before it goes on the line.
#pragma once

#include <string>

#include "tools/target-sim/sim_options.h"

namespace sim {

// The reply text after the garbage, short, oversize and nul faults (the end
// byte is added later).
std::string spoil_reply(std::string reply, const FaultOptions& faults);

}  // namespace sim
