// The start routine of a program: chooses the front end (--ui sdl|tty|headless),
// makes the desktop and the runtime, installs the device table, the console
// window and its devices, then the caller's own installers (the serial
// channels), and runs the main routine. Returns the process exit code.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "runtime/core/program_options.h"

namespace rt {

class Runtime;

int start_program(int argc, char** argv, const ProgramOptions& options, std::string module_name,
                  std::function<void()> main_routine, std::vector<std::function<void(Runtime&)>> extra_installers = {});

}  // namespace rt
