#include "clock_display.h"

#include <cstdint>
#include <string_view>

#include "console_output.h"
#include "runtime/core/frame.h"
#include "runtime/core/string_functions.h"

namespace monitor {

using rt::stmt;

namespace {
constexpr ScreenPlace kClock{71, 0};
constexpr std::string_view kClockFault = "Error   ";
}  // namespace

void show_clock(bool linkFault)
{
    std::int16_t row = 0;
    std::int16_t column = 0;
    stmt(__LINE__, [&] { row = rt::CURSOR_ROW(0); });
    stmt(__LINE__, [&] { column = rt::CURSOR_COLUMN(0, 0); });
    stmt(__LINE__, [&] { locate(kClock); });
    stmt(__LINE__, [&] {
        if (linkFault) {
            print(kClockFault);
        } else {
            rt::PRINT_TO_WINDOW(0);
            rt::TIME_S();
            rt::PRINT_STR(kNoEnd);
            rt::PRINT_END();
        }
    });
    stmt(__LINE__, [&] { locate(column, row); });
}

std::string current_date_text()
{
    return rt::value_of(rt::date_s(rt::lit("")));
}

std::string current_time_text()
{
    return rt::value_of(rt::time_s());
}

}  // namespace monitor
