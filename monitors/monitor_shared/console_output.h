// The monitors' few ways of putting text on the console and on a file number,
// each one print statement of the runtime.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "monitors/monitor_shared/screen_place.h"
#include "runtime/console/print_statements.h"
#include "runtime/console/screen_statements.h"
#include "runtime/core/string_ops.h"

namespace monitor {

inline constexpr std::uint16_t kEndLine = 0;  // print separator: CR LF after the item
inline constexpr std::uint16_t kNoEnd = 2;    // print separator: nothing after the item

inline void locate(int column, int row) { rt::LOCATE(0, column, row, 0, rt::kLocateColumn | rt::kLocateRow); }
inline void locate(ScreenPlace place) { locate(place.column, place.row); }

inline void text_colour(int colour) { rt::COLOR(0, colour, 0, 0, 0, rt::kColorText); }
inline void text_colour(ScreenColour colour)
{
    rt::COLOR(0, colour.colour, 0, 0, colour.attribute, rt::kColorText | rt::kColorAttribute);
}
inline void drawing_colour(int colour) { rt::COLOR(0, 0, 0, colour, 0, rt::kColorDrawing); }

// PRINT text; or PRINT text; with a line end.
inline void print(std::string_view text, std::uint16_t separator = kNoEnd)
{
    rt::PRINT_TO_WINDOW(0);
    rt::push_temp(text);
    rt::PRINT_STR(separator);
    rt::PRINT_END();
}

inline void print_blanks(int count, std::uint16_t separator = kNoEnd)
{
    print(std::string(static_cast<std::size_t>(count), ' '), separator);
}

// PRINT #file_number, text (no line end unless asked).
inline void print_to_file(std::int32_t file_number, std::string_view text, std::uint16_t separator = kNoEnd)
{
    rt::PRINT_TO_FILE(file_number);
    rt::push_temp(text);
    rt::PRINT_STR(separator);
    rt::PRINT_END();
}

}  // namespace monitor
