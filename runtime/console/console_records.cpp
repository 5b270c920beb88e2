#include "runtime/console/console_records.h"

#include "runtime/core/error.h"

namespace rt::console {

void ConsoleRecords::on_terminate() noexcept
{
    if (Runtime* runtime = Runtime::current_or_null()) {
        if (runtime->print_channel() == &print_channel)
            runtime->set_print_channel(nullptr);
        if (runtime->report_target() == &report)
            runtime->set_report_target(nullptr);
    }
    main_window_.reset();
}

ConsoleRecords* current_console() noexcept
{
    Runtime* runtime = Runtime::current_or_null();
    return runtime ? runtime->find_extension<ConsoleRecords>() : nullptr;
}

ConsoleWindow& resolve_window(std::uint32_t window_reference, std::uint16_t site)
{
    ConsoleRecords* records = current_console();
    ConsoleWindow* window = records && window_reference == 0 ? records->main_window() : nullptr;
    if (!window)
        RAISE_ERROR(err::kBadWindow, site);
    return *window;
}

}  // namespace rt::console
