// The command line after one polled key has been typed into it (an empty
// key: nothing typed, the line is only trimmed). Qk14 keeps the first 37
// bytes and then appends the key, so a 38th byte shows for one cycle and the
// next cycle drops it; QkP877W appends and then cuts to 37 bytes.
#pragma once

#include <string>
#include <string_view>

#include "protocol.h"

namespace monitor {

std::string typed_command_line(std::string_view line, std::string_view key, MonitorKind monitor);

}  // namespace monitor
