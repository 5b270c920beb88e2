// The --help text of both programs: synopsis, options, keys, commands, files,
// settings file, environment and exit codes, in aligned columns.
#pragma once

#include <string>

#include "monitors/monitor_shared/board_description.h"

namespace monitor {

// The board's identity, keys, commands and files, then what both share.
std::string program_help(const BoardDescription& board);

}  // namespace monitor
