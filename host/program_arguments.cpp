#include "host/program_arguments.h"

#include <getopt.h>

#include <array>
#include <charconv>
#include <string_view>

#include "host/network_port.h"
#include "host/serial_port_map.h"

namespace host {

namespace {

// getopt_long codes of the options that have no one-letter form.
namespace long_option {
enum Code : int {
    Ui = 256,
    Script,
    Scale,
    Port,
    NoReconnect,
    ListPorts,
    Trace,
    Exec,
    ExecFile,
    StopOnError,
    Watch,
    Interval,
    Count,
};
}  // namespace long_option

constexpr std::array<option, 17> kOptions{{
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {"ui", required_argument, nullptr, long_option::Ui},
    {"script", required_argument, nullptr, long_option::Script},
    {"scale", required_argument, nullptr, long_option::Scale},
    {"port", required_argument, nullptr, long_option::Port},
    {"no-reconnect", no_argument, nullptr, long_option::NoReconnect},
    {"list-ports", no_argument, nullptr, long_option::ListPorts},
    {"trace", required_argument, nullptr, long_option::Trace},
    {"exec", required_argument, nullptr, long_option::Exec},
    {"exec-file", required_argument, nullptr, long_option::ExecFile},
    {"stop-on-error", no_argument, nullptr, long_option::StopOnError},
    {"watch", required_argument, nullptr, long_option::Watch},
    {"interval", required_argument, nullptr, long_option::Interval},
    {"count", required_argument, nullptr, long_option::Count},
    {nullptr, 0, nullptr, 0},
}};

// The option lines of --help: the left column and its explanation lines.
struct OptionHelp {
    std::string_view names;
    std::string_view text;
};

constexpr std::array<OptionHelp, 16> kOptionHelp{{
    {"-h, --help", "show this help and exit"},
    {"-V, --version", "show the version and exit"},
    {"--ui sdl|tty|headless",
     "where the screen appears: an SDL2 window (sdl),\n"
     "this terminal (tty) or nowhere (headless). Default:\n"
     "sdl when a display is available, else tty in a\n"
     "terminal, else headless"},
    {"--scale N", "sdl: open the window at N times 640x432 (1-16);\n"
                  "default: the largest that fits the display"},
    {"--script FILE", "headless: keys and waits to play (- for standard\n"
                      "input); implies --ui headless"},
    {"--port COMn=PATH", "use PATH as system port n (CH=0 is COM1)"},
    {"--port PATH", "use PATH for the channel QK.DEF selects. PATH is a\n"
                    "tty, or a port on another machine through a port\n"
                    "server such as ser2net: rfc2217://HOST:PORT (line\n"
                    "settings sent to the server) or socket://HOST:PORT\n"
                    "(raw TCP)"},
    {"--no-reconnect", "end the program (error 53) when the port goes away,\n"
                       "instead of waiting for it to return"},
    {"--list-ports", "list the serial ports that can be used, and exit"},
    {"--trace FILE", "write every byte sent and received to FILE"},
    {"--exec CMD", "no screen: run the command CMD (repeatable) and\n"
                   "print it, a tab and the reply (or Error) on\n"
                   "standard output, one line per command"},
    {"--exec-file FILE", "the same for each line of FILE (- for standard\n"
                         "input); blank lines and # comments are skipped"},
    {"--stop-on-error", "stop at the first refused or unanswered command"},
    {"--watch NAME", "no screen: read every entry of the watch page\n"
                     "NAME.DAT and print CSV lines on standard output"},
    {"--interval MS", "--watch: start a sample every MS milliseconds\n"
                      "(default 1000)"},
    {"--count N", "--watch: take N samples (default 1; 0: until\n"
                  "Ctrl+C or SIGTERM)"},
}};

constexpr std::size_t kHelpColumn = 24;

constexpr int kMaxScale = 16;

FrontEndKind front_end_named(std::string_view name)
{
    if (name == "sdl")
        return FrontEndKind::Sdl;
    if (name == "tty")
        return FrontEndKind::Tty;
    if (name == "headless")
        return FrontEndKind::Headless;
    throw UsageError("--ui takes sdl, tty or headless, not '" + std::string(name) + "'");
}

int scale_named(std::string_view text)
{
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() || value < 1 || value > kMaxScale)
        throw UsageError("--scale takes a whole number from 1 to " + std::to_string(kMaxScale) + ", not '" +
                         std::string(text) + "'");
    return value;
}

// A whole number from 0 to `highest` for `option`.
std::uint32_t count_named(std::string_view option, std::string_view text, std::uint32_t highest)
{
    std::uint32_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() || text.empty() || value > highest)
        throw UsageError(std::string(option) + " takes a whole number from 0 to " + std::to_string(highest) +
                         ", not '" + std::string(text) + "'");
    return value;
}

// What a scripted run excludes: a screen, and the other kind of run.
void check_scripted_run(const ProgramArguments& arguments, bool interval_given, bool count_given, bool ui_given)
{
    const ScriptedRun& run = arguments.scripted;
    if ((interval_given || count_given) && !run.watch)
        throw UsageError(std::string(interval_given ? "--interval" : "--count") + " needs --watch");
    if (run.stop_on_error && run.commands.empty())
        throw UsageError("--stop-on-error needs --exec or --exec-file");
    if (run.watch && !run.commands.empty())
        throw UsageError("--watch and --exec (or --exec-file) cannot be combined; run the program twice");
    if (run.active() && (ui_given || arguments.front_end.script || arguments.front_end.scale))
        throw UsageError(std::string(run.watch ? "--watch" : "--exec") +
                         " runs without a screen: leave out --ui, --script and --scale");
}

// A network port's address must read as HOST:PORT.
void check_network_address(std::string_view text, std::string_view path)
{
    if (is_network_port_path(path) && !parse_network_port_path(path))
        throw UsageError("bad --port '" + std::string(text) +
                         "' (expected rfc2217://HOST:PORT or socket://HOST:PORT)");
}

PortOption port_named(std::string_view text)
{
    if (text.empty())
        throw UsageError("--port needs COMn=PATH or a PATH");
    if (auto assignment = parse_port_assignment(text)) {
        check_network_address(text, assignment->path);
        return PortOption{assignment->number, std::move(assignment->path)};
    }
    check_network_address(text, text);
    // Something that reads as COMn=... but is not a valid assignment is a
    // mistake, not a file name.
    const std::string_view head = text.substr(0, 3);
    const bool com_prefix = head.size() == 3 && (head[0] | 0x20) == 'c' && (head[1] | 0x20) == 'o' &&
                            (head[2] | 0x20) == 'm' && text.find('=') != std::string_view::npos &&
                            text.find('/') > text.find('=');
    if (com_prefix)
        throw UsageError("bad --port '" + std::string(text) + "' (expected COMn=PATH with n from 1 to 255)");
    return PortOption{std::nullopt, std::string(text)};
}

// The argument that getopt_long stopped at, for a message.
std::string offending_argument(int argc, char* const* argv, int index)
{
    return index > 0 && index <= argc && argv[index - 1] ? argv[index - 1] : "";
}

}  // namespace

ProgramArguments parse_program_arguments(int argc, char* const* argv)
{
    ProgramArguments arguments;
    if (argc > 0 && argv[0])
        arguments.program_path = argv[0];
    // getopt_long reorders the pointers it is given: work on a copy.
    std::vector<char*> list(argv, argv + argc);
    list.push_back(nullptr);
    bool script_given = false;
    bool ui_given = false;
    bool interval_given = false;
    bool count_given = false;
    opterr = 0;
    optind = 0;  // a full re-initialisation, so a process may parse more than once
    for (;;) {
        int index = -1;
        const int c = getopt_long(argc, list.data(), ":hV", kOptions.data(), &index);
        if (c == -1)
            break;
        const std::string_view value = optarg ? optarg : "";
        switch (c) {
        case 'h': arguments.help = true; break;
        case 'V': arguments.version = true; break;
        case long_option::Ui:
            arguments.front_end.kind = front_end_named(value);
            ui_given = true;
            break;
        case long_option::Script:
            arguments.front_end.script = std::string(value);
            script_given = true;
            break;
        case long_option::Scale: arguments.front_end.scale = scale_named(value); break;
        case long_option::Port: arguments.ports.push_back(port_named(value)); break;
        case long_option::NoReconnect: arguments.reconnect = false; break;
        case long_option::ListPorts: arguments.list_ports = true; break;
        case long_option::Trace:
            if (value.empty())
                throw UsageError("--trace needs a file name");
            arguments.trace = std::string(value);
            break;
        case long_option::Exec: arguments.scripted.commands.push_back({false, std::string(value)}); break;
        case long_option::ExecFile:
            if (value.empty())
                throw UsageError("--exec-file needs a file name (- for standard input)");
            arguments.scripted.commands.push_back({true, std::string(value)});
            break;
        case long_option::StopOnError: arguments.scripted.stop_on_error = true; break;
        case long_option::Watch:
            if (value.empty())
                throw UsageError("--watch needs the name of a watch file");
            arguments.scripted.watch = std::string(value);
            break;
        case long_option::Interval:
            arguments.scripted.interval = std::chrono::milliseconds(count_named("--interval", value, 86'400'000));
            interval_given = true;
            break;
        case long_option::Count:
            arguments.scripted.count = count_named("--count", value, 100'000'000);
            count_given = true;
            break;
        case ':': throw UsageError("option '" + offending_argument(argc, list.data(), optind) + "' needs a value");
        default: {
            const std::string given = optopt && optopt < 256 ? "-" + std::string(1, char(optopt))
                                                             : offending_argument(argc, list.data(), optind);
            throw UsageError("unknown option '" + given + "'");
        }
        }
    }
    if (optind < argc)
        throw UsageError("unexpected argument '" + std::string(list[std::size_t(optind)]) + "'");
    check_scripted_run(arguments, interval_given, count_given, ui_given);
    if (arguments.scripted.active())
        arguments.front_end.kind = FrontEndKind::Screenless;
    if (script_given) {
        if (arguments.front_end.kind != FrontEndKind::Automatic && arguments.front_end.kind != FrontEndKind::Headless)
            throw UsageError("--script needs --ui headless");
        arguments.front_end.kind = FrontEndKind::Headless;
    }
    if (arguments.front_end.scale && arguments.front_end.kind != FrontEndKind::Automatic &&
        arguments.front_end.kind != FrontEndKind::Sdl)
        throw UsageError("--scale needs --ui sdl");
    return arguments;
}

std::string program_options_help()
{
    std::string text;
    for (const OptionHelp& option : kOptionHelp) {
        std::string left = "  " + std::string(option.names);
        std::string_view rest = option.text;
        bool first = true;
        while (!rest.empty() || first) {
            const std::size_t end = rest.find('\n');
            const std::string_view line = rest.substr(0, end);
            if (first && left.size() + 1 > kHelpColumn) {
                text += left + "\n";
                left.clear();
            }
            std::string row = first ? left : std::string();
            row.resize(kHelpColumn, ' ');
            text += row;
            text += line;
            text += '\n';
            rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
            first = false;
        }
    }
    return text;
}

}  // namespace host
