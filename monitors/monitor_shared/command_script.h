// The commands of a scripted session: each --exec as given, each line of an
// --exec-file (standard input for "-") with blank lines and "#" comment lines
// skipped, in command-line order. A file is read to its end before anything
// is sent, so a slow producer on standard input only delays the start.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/console/command_line.h"

namespace monitor {

// The command on one line of a command file: the line without its line end
// and surrounding blanks; nothing for a blank line or one whose first
// non-blank character is "#".
std::optional<std::string> command_on_line(std::string_view line);

// Every command of the run. Throws std::runtime_error naming a file that
// cannot be read, and the system's reason.
std::vector<std::string> script_commands(const rt::ScriptedRun& run);

}  // namespace monitor
