// The start routine of a program: makes the front end that the command line
// chooses (--ui, --script, --scale), the desktop and the runtime, installs the
// device table, the console window and its devices, then the caller's own
// installers (the serial channels), and runs the main routine. Returns the
// process exit code; 2 (usage) when the chosen front end cannot start, after
// saying why on standard error.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "runtime/console/command_line.h"
#include "runtime/core/program_options.h"

namespace rt {

class Runtime;

int start_program(const CommandLine& command_line, const ProgramOptions& options, std::string module_name,
                  std::function<void()> main_routine, std::vector<std::function<void(Runtime&)>> extra_installers = {});

// The same for a program without options of its own: parses argc/argv first;
// a bad command line is reported on standard error with exit code 2, and
// --help lists the options.
int start_program(int argc, char** argv, const ProgramOptions& options, std::string module_name,
                  std::function<void()> main_routine, std::vector<std::function<void(Runtime&)>> extra_installers = {});

}  // namespace rt
