// Whether a terminal is some session's controlling terminal: the terminal of
// a shell, an editor, another program's console. A serial port is never one,
// so a port path that leads to one (a stale link whose pseudo-terminal number
// another program took) is refused rather than written into.
//
// A process's controlling terminal is field 7 (tty_nr) of /proc/PID/stat;
// the terminal's device number is the st_rdev of its descriptor.
#pragma once

#include <sys/types.h>

#include <optional>

namespace host {

// The error an open gives for such a terminal: not an errno value.
inline constexpr int kSessionTerminalError = 0x10100;

// A process whose controlling terminal is the terminal open on `fd`, or
// nothing (also when `fd` is no character device).
std::optional<pid_t> process_controlled_by(int fd);

}  // namespace host
