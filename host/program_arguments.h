// The command line of a program, parsed once (getopt_long) into a typed record
// that the start routine, the front-end choice and the serial layer read.
//
//   -h, --help               -V, --version            --list-ports
//   --ui sdl|tty|headless    --script FILE            --scale N
//   --port COMn=PATH         --port PATH              --no-reconnect
//   --trace FILE
//
// Long options also take their value as --option=VALUE and may be shortened
// to any unique prefix. A bad option, a missing or bad value or a stray
// argument throws UsageError, whose text names the offending argument.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/front_end_choice.h"

namespace host {

class UsageError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// One --port option: `number` is n of COMn=PATH; without it PATH stands for
// the channel that the program's settings select.
struct PortOption {
    std::optional<unsigned> number;
    std::string path;
};

struct ProgramArguments {
    std::string program_path;  // argv[0]
    bool help = false;
    bool version = false;
    bool list_ports = false;
    FrontEndChoice front_end;
    std::vector<PortOption> ports;  // in command-line order
    bool reconnect = true;          // --no-reconnect clears it
    std::optional<std::string> trace;
};

inline constexpr int kUsageExitCode = 2;

ProgramArguments parse_program_arguments(int argc, char* const* argv);

// The option lines of --help, two aligned columns.
std::string program_options_help();

}  // namespace host
