// What the command rows show: the line being typed on row 21 and the
// response (or "Error") on row 20.
#pragma once

#include <string>
#include <string_view>

namespace qk14 {

// Printed at (12, 20) after a command: the reply, or "Error" with 38 blanks
// when the command was refused or its reply did not come.
std::string response_text(std::string_view reply, bool failed);

// Printed at (12, 21) after each key: the line and two blanks that wipe
// what a removed or dropped byte left.
std::string command_row_text(std::string_view commandLine);

}  // namespace qk14
