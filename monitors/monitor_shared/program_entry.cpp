#include "monitors/monitor_shared/program_entry.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

#include "monitors/monitor_shared/command_script.h"
#include "monitors/monitor_shared/scripted_session.h"
#include "qk_version.h"
#include "runtime/console/command_line.h"
#include "runtime/console/program_runner.h"
#include "runtime/core/program_options.h"
#include "runtime/serial/serial_channels.h"

namespace monitor {

namespace {

// QK.DEF's CH=0..3 opens system ports COM1..COM4.
constexpr unsigned kHighestPort = 4;

// A usage message for a --port COMn= beyond the ports QK.DEF can select, or
// a trace file that cannot be made; empty when the command line is usable.
std::string link_option_problem(const rt::CommandLine& command_line)
{
    for (const rt::PortOption& port : command_line.ports)
        if (port.number && *port.number > kHighestPort)
            return "--port COM" + std::to_string(*port.number) + "=" + port.path + ": QK.DEF's CH=0..3 selects COM1..COM" +
                   std::to_string(kHighestPort) + " only, so COM" + std::to_string(*port.number) + " is never opened";
    if (command_line.trace) {
        std::FILE* trace = std::fopen(command_line.trace->c_str(), "w");
        if (!trace)
            return "cannot create the trace file " + *command_line.trace + ": " + std::strerror(errno);
        std::fclose(trace);
    }
    return {};
}

// Without a front end chosen, a program whose standard output goes to a pipe
// or a file would run a screen that nobody sees (`qk14 | tee log`).
bool runs_unseen(const rt::CommandLine& command_line)
{
    return command_line.front_end.kind == rt::FrontEndKind::Automatic && !isatty(STDOUT_FILENO);
}

}  // namespace

int run_monitor_program(int argc, char** argv, const BoardDescription& board, std::function<void()> main_routine)
{
    const std::string program(board.program);
    const std::string module_name(board.module_name);
    rt::CommandLine command_line;
    try {
        command_line = rt::parse_command_line(argc, argv);
    } catch (const rt::UsageError& e) {
        std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", program.c_str(), e.what(),
                     program.c_str());
        return rt::kUsageExitCode;
    }
    if (command_line.help) {
        std::fputs(program_help(board).c_str(), stdout);
        return 0;
    }
    if (command_line.version) {
        std::printf("%s %.*s\n", program.c_str(), int(build_info::kVersion.size()),
                    build_info::kVersion.data());
        return 0;
    }
    if (command_line.list_ports) {
        std::fputs(rt::serial_port_list_text().c_str(), stdout);
        return 0;
    }
    if (const std::string problem = link_option_problem(command_line); !problem.empty()) {
        std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", program.c_str(),
                     problem.c_str(), program.c_str());
        return rt::kUsageExitCode;
    }
    const std::vector<std::function<void(rt::Runtime&)>> installers{[&command_line](rt::Runtime& runtime) {
        rt::install_serial_devices(runtime, rt::user_serial_port_map(command_line.ports),
                                   rt::serial_link_options(command_line));
    }};
    if (command_line.scripted.active()) {
        std::vector<std::string> commands;
        try {
            commands = script_commands(command_line.scripted);
        } catch (const std::runtime_error& e) {
            std::fprintf(stderr, "%s: %s\n", program.c_str(), e.what());
            return rt::kUsageExitCode;
        }
        ScriptedSession session(board, program, command_line.scripted, std::move(commands));
        const int code = rt::start_program(command_line, rt::ProgramOptions{}, module_name,
                                           [&session] { session.main_routine(); }, installers);
        return session.exit_status(code);
    }
    if (runs_unseen(command_line)) {
        std::fprintf(stderr,
                     "%s: standard output is not a terminal, so the screen would be seen nowhere.\n"
                     "To run commands from a script use --exec CMD, --exec-file FILE or --watch NAME;\n"
                     "to run the screen anyway choose it with --ui (tty, sdl or headless).\n"
                     "Try '%s --help' for more information.\n",
                     program.c_str(), program.c_str());
        return rt::kUsageExitCode;
    }
    return rt::start_program(command_line, rt::ProgramOptions{}, module_name, std::move(main_routine),
                             installers);
}

}  // namespace monitor
