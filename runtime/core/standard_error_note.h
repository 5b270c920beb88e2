// A problem the program goes on with, said on standard error too: the
// screen shows it on a row that the next output overwrites, and a program
// run from a shell or a script leaves the note where it can be read later.
// Notes are written once the front end has closed (the terminal front end
// owns the terminal until then), before any fatal report.
#pragma once

#include <string_view>

namespace rt {

// Keeps the Shift-JIS text `sjis` as one line for standard error (UTF-8).
// The same note twice is written once.
void NOTE_ON_STANDARD_ERROR(std::string_view sjis);

}  // namespace rt
