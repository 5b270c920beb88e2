// The change log file of the log mode, kept whole whatever the disk does.
//
// A log that cannot be opened or written never ends the program: "Error" and
// the system's reason (path and why, in the user's language) appear at the
// message place, the program beeps, and monitoring goes on without the file.
// Each log line is printed as one write, which the runtime cuts back when it
// fails, so the file always ends with a complete line. A log that ends inside
// a line (an earlier run cut off, another tool) gets a line end first. A log
// deleted or replaced while logging is noticed at the next write and opened
// again at the same path, which the message place says once.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "monitors/monitor_shared/screen_place.h"

namespace monitor {

// Opens the log `name` for appending as `file_number` (created when missing).
// False after the message and the beep when it cannot be opened.
bool open_change_log(std::int32_t file_number, const std::string& name, ScreenPlace message_place);

// Appends `line` and its line end. False when logging has stopped (the
// write or a reopen failed: message, beep, file closed).
bool append_change_log(std::int32_t file_number, const std::string& name, std::string_view line,
                       ScreenPlace message_place);

// The message row text: `text` cut to `cells` screen cells (a double-byte
// character is never split) and padded with blanks to clear older text.
std::string message_row_text(std::string_view text, std::size_t cells);

}  // namespace monitor
