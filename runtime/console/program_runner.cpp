#include "runtime/console/program_runner.h"

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string_view>

#include "runtime/console/console_installation.h"
#include "host/desktop.h"
#include "runtime/core/error.h"
#include "runtime/core/frame.h"
#include "runtime/core/program_start.h"
#include "runtime/core/runtime.h"
#include "runtime/files/device_table.h"

namespace rt {

namespace {

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

int run_with_front_end(std::unique_ptr<host::FrontEnd> front_end, const CommandLine& command_line, const ProgramOptions& options,
                       std::string module_name, const std::function<void()>& main_routine,
                       const std::vector<std::function<void(Runtime&)>>& extra_installers, std::string& closing_report);

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
    if (command_line.help) {
        std::printf("Options:\n%s", command_line_options_help().c_str());
        return 0;
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
    // The fatal report reaches standard error after the front end has closed
    // (the terminal's alternate screen is gone), so the shell keeps it.
    std::string closing_report;
    const int exit_code = run_with_front_end(std::move(front_end), command_line, options, std::move(module_name),
                                             main_routine, extra_installers, closing_report);
    if (!closing_report.empty())
        std::fputs(closing_report.c_str(), stderr);
    return exit_code;
}

namespace {

int run_with_front_end(std::unique_ptr<host::FrontEnd> front_end, const CommandLine& command_line, const ProgramOptions& options,
                       std::string module_name, const std::function<void()>& main_routine,
                       const std::vector<std::function<void(Runtime&)>>& extra_installers, std::string& closing_report)
{
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
        show_startup_failure(desktop, runtime.base_name(), startup_message_for_failure(startup_failure::kWindowNotCreated));
        runtime.release_all();
        return 0;
    } catch (const std::bad_alloc&) {
        show_startup_failure(desktop, runtime.base_name(), startup_message::kOutOfMemory);
        runtime.release_all();
        return 0;
    }
    const int exit_code = run_main_routine(main_routine);
    closing_report = runtime.closing_notes() + runtime.closing_report();
    return exit_code;
}

}  // namespace

}  // namespace rt
