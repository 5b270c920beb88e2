// The command line of a program, parsed once (getopt_long) into a typed record
// that the start routine, the front-end choice and the serial layer read.
//
//   -h, --help               -V, --version            --list-ports
//   --ui sdl|tty|headless    --script FILE            --scale N
//   --port COMn=PATH         --port PATH              --no-reconnect
//   --trace FILE
//   --exec CMD               --exec-file FILE         --stop-on-error
//   --watch NAME             --interval MS            --count N
//
// Long options also take their value as --option=VALUE and may be shortened
// to any unique prefix. A bad option, a missing or bad value or a stray
// argument throws UsageError, whose text names the offending argument.
#pragma once

#include <chrono>
#include <cstdint>
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

// A run without a screen (the monitors' scripted sessions): commands from
// --exec and --exec-file, or samples of a watch page.
struct ScriptedRun {
    struct CommandSource {
        bool file = false;  // text names a file ("-": standard input); else text is one command
        std::string text;
    };
    std::vector<CommandSource> commands;  // in command-line order
    bool stop_on_error = false;
    std::optional<std::string> watch;     // watch file base name
    std::chrono::milliseconds interval{1000};
    std::uint32_t count = 1;  // samples; 0: until SIGINT or SIGTERM

    bool active() const noexcept { return !commands.empty() || watch.has_value(); }
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
    ScriptedRun scripted;  // active: the front end is screenless
};

inline constexpr int kUsageExitCode = 2;

ProgramArguments parse_program_arguments(int argc, char* const* argv);

// The option lines of --help, two aligned columns.
std::string program_options_help();

}  // namespace host
