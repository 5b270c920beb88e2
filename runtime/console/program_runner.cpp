#include "program_runner.h"

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string_view>

#include "console_installation.h"
#include "host/desktop.h"
#include "runtime/core/error.h"
#include "runtime/core/frame.h"
#include "runtime/core/program_start.h"
#include "runtime/core/runtime.h"
#include "runtime/files/device_table.h"

namespace rt {

namespace {

// Start-up failure code of the main-window step when the window cannot be made.
constexpr int kWindowFailure = 1014;

// The front end that the command line names; nullptr after saying on
// standard error why it cannot start.
std::unique_ptr<host::FrontEnd> choose_front_end(const CommandLine& command_line)
{
    try {
        return host::make_front_end(command_line.front_end);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", program_base_name(command_line.program_path).c_str(), e.what());
        return nullptr;
    }
}

}  // namespace

int start_program(int argc, char** argv, const ProgramOptions& options, std::string module_name,
                  std::function<void()> main_routine, std::vector<std::function<void(Runtime&)>> extra_installers)
{
    CommandLine command_line;
    try {
        command_line = parse_command_line(argc, argv);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "%s: %s\n", program_base_name(argc > 0 && argv[0] ? argv[0] : "").c_str(), e.what());
        return kUsageExitCode;
    }
    return start_program(command_line, options, std::move(module_name), std::move(main_routine),
                         std::move(extra_installers));
}

int start_program(const CommandLine& command_line, const ProgramOptions& options, std::string module_name,
                  std::function<void()> main_routine, std::vector<std::function<void(Runtime&)>> extra_installers)
{
    std::unique_ptr<host::FrontEnd> front_end = choose_front_end(command_line);
    if (!front_end)
        return kUsageExitCode;
    host::Desktop desktop(std::move(front_end));
    const std::string module_path = command_line.program_path.empty() ? executable_path() : command_line.program_path;
    Runtime runtime(options, desktop, std::move(module_name), program_base_name(module_path));
    RuntimeScope scope(runtime);
    begin_program(runtime);
    try {
        runtime.install(std::make_unique<DeviceTable>(runtime.options()));
        console::install_console(runtime);
        for (const auto& install : extra_installers)
            install(runtime);
    } catch (const RuntimeError&) {
        show_startup_failure(desktop, runtime.base_name(), startup_message_for_failure(kWindowFailure));
        runtime.release_all();
        return 0;
    } catch (const std::bad_alloc&) {
        show_startup_failure(desktop, runtime.base_name(), 1);
        runtime.release_all();
        return 0;
    }
    return run_main_routine(main_routine);
}

}  // namespace rt
