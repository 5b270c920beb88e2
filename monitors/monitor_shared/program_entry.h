// The process entry both monitors share: command-line options (--help,
// --version, --list-ports, --port, --no-reconnect, --trace, --ui, --script),
// then the runtime's start routine with the serial devices installed.
#pragma once

#include <functional>
#include <string>

namespace monitor {

struct ProgramIdentity {
    std::string module_name;  // "Qk14", "QkP877W"
    std::string program;      // executable name for --help
    std::string summary;      // one line for --help
};

int run_monitor_program(int argc, char** argv, const ProgramIdentity& identity, std::function<void()> main_routine);

}  // namespace monitor
