#include "monitors/monitor_shared/program_entry.h"

#include <cstdio>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "host/front_end_choice.h"
#include "host/serial_port_map.h"
#include "runtime/console/program_runner.h"
#include "runtime/core/program_options.h"
#include "runtime/serial/serial_channels.h"

namespace monitor {

namespace {

constexpr int kUsageExitCode = 2;
constexpr std::string_view kVersion = "0.1.0";

void print_help(const ProgramIdentity& identity)
{
    std::printf("Usage: %s [options]\n%s\n\n"
                "Runs in the current directory, which holds QK.DEF and the *.DAT watch files.\n\n"
                "Options:\n"
                "  --help                  this text\n"
                "  --version               the program's version\n"
                "%s%s",
                identity.program.c_str(), identity.summary.c_str(), host::port_options_help().c_str(),
                host::front_end_help().c_str());
}

}  // namespace

int run_monitor_program(int argc, char** argv, const ProgramIdentity& identity, std::function<void()> main_routine)
{
    std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    host::SerialPortMap ports = rt::user_serial_port_map();
    try {
        host::take_port_options(arguments, ports);
        std::vector<std::string> rest = arguments;
        host::take_front_end_options(rest);
        for (const std::string& argument : rest) {
            if (argument == "--help" || argument == "-h") {
                print_help(identity);
                return 0;
            }
            if (argument == "--version") {
                std::printf("%s %s\n", identity.program.c_str(), std::string(kVersion).c_str());
                return 0;
            }
            throw std::invalid_argument("unknown option " + argument);
        }
    } catch (const std::invalid_argument& e) {
        std::fprintf(stderr, "%s: %s\n", identity.program.c_str(), e.what());
        print_help(identity);
        return kUsageExitCode;
    }
    // The start routine sees the program name and the front-end options only.
    std::vector<char*> start_arguments{argv[0]};
    for (std::string& argument : arguments)
        start_arguments.push_back(argument.data());
    start_arguments.push_back(nullptr);
    return rt::start_program(static_cast<int>(start_arguments.size() - 1), start_arguments.data(), rt::ProgramOptions{},
                             identity.module_name, std::move(main_routine),
                             {[ports](rt::Runtime& runtime) { rt::install_serial_devices(runtime, ports); }});
}

}  // namespace monitor
