// How a watch value is shown, by the entry's format letter (V = reply text):
//   H  V as received
//   B  the last two characters as a byte, 8 binary digits, high bit first
//   D  the value of V in hexadecimal, picture "###", then " d"
//   Q  a 16-bit word from the first four characters in the byte order,
//      picture "#####" (Qk14) or "######" (QkP877W), then " d"
//   W  the same four characters in the same order, as " xxxx h"
// Any other format shows no value.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "monitors/monitor_shared/board_description.h"

namespace monitor {

enum class ByteOrder : std::int16_t { Little = 0, Big = 1 };

// Byte order from the "BL=" setting: 0 is "Little", any other value "Big".
inline constexpr ByteOrder byte_order_of(std::int16_t setting) noexcept
{
    return setting == 0 ? ByteOrder::Little : ByteOrder::Big;
}

struct WatchValueStyle {
    ByteOrder order = ByteOrder::Little;
    int word_picture_width = 5;
};

// The board's word style: in the byte order of its "BL=" setting where the
// board follows it, else the first byte as the low one.
inline constexpr WatchValueStyle value_style(const BoardDescription& board, std::int16_t byte_order_setting) noexcept
{
    return {board.words_follow_byte_order ? byte_order_of(byte_order_setting) : ByteOrder::Little,
            board.word_picture_width};
}

// The value through a numeric picture of `width` "#" characters (PRINT USING):
// right-aligned, or "%" and its decimal text when it does not fit.
std::string picture_number(double value, int width);

// The four hexadecimal characters of the word in V, high byte first.
std::string word_digits(std::string_view reply, ByteOrder order);

std::optional<std::string> watch_value_text(std::string_view format, std::string_view reply, const WatchValueStyle& style);

// Blanks that erase an old "Q" value on a watch page before the new one is printed.
inline constexpr int kWordEraseWidth = 7;


// How a formatted watch value goes on the screen in each place it is shown:
// the watch page (at the entry's value position) and the change row of the
// log (after the label). Only "Q" on a watch page erases first; "W" ends its
// line where the monitor does so.
enum class ValueContext { WatchPage, ChangeRow };

struct ValueOutput {
    int erase_blanks = 0;  // blanks printed first, then a locate back
    int locate_shift = 0;  // where that locate goes, relative to where the blanks began
    std::string text;
    bool line_end = false;  // the value ends its line (may scroll the work area)
};

// Nothing for a format that shows no value. `byte_order_setting` is Qk14's
// "BL=" value; QkP877W ignores it.
std::optional<ValueOutput> watch_value_output(std::string_view format, std::string_view reply, const BoardDescription& board,
                                              std::int16_t byte_order_setting, ValueContext context);

}  // namespace monitor
