#include "runtime/console/console_print_channel.h"

#include "runtime/console/console_sites.h"
#include "runtime/console/print_statements.h"
#include "runtime/core/error.h"

namespace rt::console {

namespace {
constexpr std::uint16_t kLastFileNumber = 255;
}

void ConsolePrintChannel::select(std::uint16_t window_or_channel)
{
    if (window_or_channel == 0)
        PRINT_TO_WINDOW(0);
    else if (window_or_channel <= kLastFileNumber)
        PRINT_TO_FILE(window_or_channel);
    else
        RAISE_ERROR(err::kBadWindow, site::kPrintToWindow);
}

void ConsolePrintChannel::print_item(std::string_view text, std::uint16_t separator)
{
    console::print_item(text, separator);
}

}  // namespace rt::console
