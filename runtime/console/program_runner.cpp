#include "program_runner.h"

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string_view>

#include "console_installation.h"
#include "host/desktop.h"
#include "host/front_end_choice.h"
#include "runtime/core/error.h"
#include "runtime/core/frame.h"
#include "runtime/core/program_start.h"
#include "runtime/core/runtime.h"
#include "runtime/files/device_table.h"

namespace rt {

namespace {

// Start-up failure code of the main-window step when the window cannot be made.
constexpr int kWindowFailure = 1014;

// Exit code for a command line the front end cannot start with.
constexpr int kUsageExitCode = 2;

// The front end named by --ui (and its --script); nullptr after reporting a
// bad option or a front end that cannot start.
std::unique_ptr<host::FrontEnd> choose_front_end(int argc, char** argv)
{
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i] ? argv[i] : "");
    try {
        return host::make_front_end(host::take_front_end_options(arguments));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n%s", e.what(), host::front_end_help().c_str());
        return nullptr;
    }
}

int run_with_front_end(std::unique_ptr<host::FrontEnd> front_end, int argc, char** argv, const ProgramOptions& options,
                       std::string module_name, const std::function<void()>& main_routine,
                       const std::vector<std::function<void(Runtime&)>>& extra_installers, std::string& closing_report);

}  // namespace

int start_program(int argc, char** argv, const ProgramOptions& options, std::string module_name,
                  std::function<void()> main_routine, std::vector<std::function<void(Runtime&)>> extra_installers)
{
    std::unique_ptr<host::FrontEnd> front_end = choose_front_end(argc, argv);
    if (!front_end)
        return kUsageExitCode;
    // The fatal report reaches standard error after the front end has closed
    // (the terminal's alternate screen is gone), so the shell keeps it.
    std::string closing_report;
    const int exit_code = run_with_front_end(std::move(front_end), argc, argv, options, std::move(module_name),
                                             main_routine, extra_installers, closing_report);
    if (!closing_report.empty())
        std::fputs(closing_report.c_str(), stderr);
    return exit_code;
}

namespace {

int run_with_front_end(std::unique_ptr<host::FrontEnd> front_end, int argc, char** argv, const ProgramOptions& options,
                       std::string module_name, const std::function<void()>& main_routine,
                       const std::vector<std::function<void(Runtime&)>>& extra_installers, std::string& closing_report)
{
    host::Desktop desktop(std::move(front_end));
    const std::string module_path = argc > 0 && argv[0] ? std::string(argv[0]) : executable_path();
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
    const int exit_code = run_main_routine(main_routine);
    closing_report = runtime.closing_report();
    return exit_code;
}

}  // namespace

}  // namespace rt
