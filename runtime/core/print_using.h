// Formatted numeric output through a picture (PRINT USING).
//
// A picture holds literal text and fields. Numeric fields: `#` digit
// positions; a leading `+` (sign always shown); `**` (fill with asterisks);
// `$$` (floating currency sign); `**$` (both); `,` before the point (thousands
// separators); `.` followed by `#` (fraction digits); `^^^^` or `^^^^^`
// (exponent form); a trailing `+` or `-` (sign after the number). `&`, `!` and
// `@` start string fields, which a number cannot fill. `_` prints the next
// character literally. A value wider than its field prints as "%" followed by
// its plain decimal text. When the picture is used up, the next item starts
// again at its beginning.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace rt {

// One item formatted through a picture.
struct UsingItem {
    std::string text;               // literal text before the field, the value through it,
                                    // and the picture's trailing literal text when no field follows
    std::size_t next_position = 0;  // where the next item's scan starts
    std::uint16_t error = 0;        // 0, or 5 (no field), 6 (value cannot be converted), 13 (string field)
};

// Formats `value` through the next field of `picture`, scanning from `position`
// (a position at or past the end starts again at the beginning).
UsingItem format_using_item(std::string_view picture, std::size_t position, double value);

// Runtime operations. The formatted items go to the installed print channel.

// Pops the picture, selects the output window or channel, keeps a copy of the picture.
void PRINT_USING_BEGIN(std::uint16_t window_or_channel);
// Prints one value through the next field; separator 0 ends the line, 2 continues it.
void PRINT_USING_I16(std::int16_t value, std::uint16_t separator);
void PRINT_USING_REAL(std::uint16_t separator, double value);
// Releases the picture.
void PRINT_USING_END();

}  // namespace rt
