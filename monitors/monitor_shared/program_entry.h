// The process entry both monitors share: the command line parsed once
// (--help, --version, --list-ports answered here), then the runtime's start
// routine with the serial devices installed: the screen, or a scripted
// session (--exec, --exec-file, --watch) without one.
#pragma once

#include <functional>

#include "monitors/monitor_shared/program_help.h"

namespace monitor {

int run_monitor_program(int argc, char** argv, const BoardDescription& board, std::function<void()> main_routine);

}  // namespace monitor
