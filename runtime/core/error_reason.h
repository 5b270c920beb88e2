// The reason line of a device or file error: the path and why the system
// refused it, in words and in the user's language. The fatal report shows it
// below the message text; the monitors show it where a failure is not fatal.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/core/error_state.h"
#include "runtime/core/user_language.h"

namespace rt {

// "<path>: <reason>" (UTF-8); "" when the cause is empty. Reasons: not found
// (for a serial port, with the ports present), permission denied (for a port
// whose group the user lacks, which group to join), in use by another
// program, not a regular file, disk full, file size limit, and the system's
// own text for anything else.
std::string error_reason_line(const ErrorCause& cause, Language language);

// The reason line of the current runtime's last error, in Shift-JIS for the
// screen; "" when it has none.
std::string current_error_reason();

// The last error as a program that traps it describes it: its number, the
// check that raised it (site code), and for a device or file error the
// reason alone, without the path (Shift-JIS, "" for other errors).
struct TrappedError {
    std::uint16_t number = 0;
    std::uint16_t site = 0;
    std::string reason;
};
TrappedError current_trapped_error();

}  // namespace rt
