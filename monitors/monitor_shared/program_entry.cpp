#include "monitors/monitor_shared/program_entry.h"

#include <cstdio>
#include <string>

#include "qk_version.h"
#include "runtime/console/command_line.h"
#include "runtime/console/program_runner.h"
#include "runtime/core/program_options.h"
#include "runtime/serial/serial_channels.h"

namespace monitor {

int run_monitor_program(int argc, char** argv, const ProgramIdentity& identity, std::function<void()> main_routine)
{
    rt::CommandLine command_line;
    try {
        command_line = rt::parse_command_line(argc, argv);
    } catch (const rt::UsageError& e) {
        std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", identity.program.c_str(), e.what(),
                     identity.program.c_str());
        return rt::kUsageExitCode;
    }
    if (command_line.help) {
        std::fputs(program_help(identity).c_str(), stdout);
        return 0;
    }
    if (command_line.version) {
        std::printf("%s %.*s\n", identity.program.c_str(), int(build_info::kVersion.size()),
                    build_info::kVersion.data());
        return 0;
    }
    if (command_line.list_ports) {
        std::fprintf(stderr, "%s: --list-ports is not available in this build\n", identity.program.c_str());
        return 1;
    }
    return rt::start_program(command_line, rt::ProgramOptions{}, identity.module_name, std::move(main_routine),
                             {[ports = command_line.ports](rt::Runtime& runtime) {
                                 rt::install_serial_devices(runtime, rt::user_serial_port_map(ports));
                             }});
}

}  // namespace monitor
