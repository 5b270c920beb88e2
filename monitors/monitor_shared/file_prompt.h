// The file list and the name prompt of F10 and F11: the "*.DAT" files of the
// current directory, four names a row, and one line read with the prompt
// "File Name(*.DAT):".
#pragma once

#include <string>

#include "screen_place.h"

namespace monitor {

// Lists the watch files (names without ".DAT") from `start`, at columns 10,
// 20, 30 and 40 of the cursor row, a line end after the fourth.
void list_watch_files(ScreenPlace start);

// Reads one text item at `place` after the prompt.
std::string prompt_file_name(ScreenPlace place);

}  // namespace monitor
