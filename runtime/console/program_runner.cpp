#include "program_runner.h"

#include <memory>
#include <string_view>

#include "console_installation.h"
#include "host/desktop.h"
#include "host/headless_front_end.h"
#include "runtime/core/error.h"
#include "runtime/core/frame.h"
#include "runtime/core/program_start.h"
#include "runtime/core/runtime.h"
#include "runtime/files/device_table.h"

#if __has_include("host/front_end_choice.h")
#include "host/front_end_choice.h"
#define QK_HAS_FRONT_END_CHOICE 1
#endif

namespace rt {

namespace {

// Start-up failure code of the main-window step when the window cannot be made.
constexpr int kWindowFailure = 1014;

std::unique_ptr<host::FrontEnd> choose_front_end(int argc, char** argv)
{
#ifdef QK_HAS_FRONT_END_CHOICE
    return host::choose_front_end(argc, argv);
#else
    (void)argc;
    (void)argv;
    return std::make_unique<host::HeadlessFrontEnd>();
#endif
}

}  // namespace

int start_program(int argc, char** argv, const ProgramOptions& options, std::string module_name,
                  std::function<void()> main_routine, std::vector<std::function<void(Runtime&)>> extra_installers)
{
    host::Desktop desktop(choose_front_end(argc, argv));
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
    return run_main_routine(main_routine);
}

}  // namespace rt
