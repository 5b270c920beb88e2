#include "monitors/monitor_shared/watch_value.h"

#include "runtime/core/number_text.h"
#include "runtime/core/print_using.h"


namespace monitor {

namespace {

// VAL of "&H" followed by `digits` (a reply's digits never leave a real's range).
double hex_value(std::string_view digits)
{
    return rt::parse_number("&H" + std::string(digits)).value;
}

std::string_view mid(std::string_view text, std::size_t start, std::size_t count)
{
    return start < text.size() ? text.substr(start, count) : std::string_view{};
}

}  // namespace

std::string picture_number(double value, int width)
{
    return rt::format_using_item(std::string(static_cast<std::size_t>(width), '#'), 0, value).text;
}

std::string word_digits(std::string_view reply, ByteOrder order)
{
    const auto first = mid(reply, 0, 2);
    const auto second = mid(reply, 2, 2);
    return order == ByteOrder::Little ? std::string(second) + std::string(first)
                                      : std::string(first) + std::string(second);
}

std::optional<std::string> watch_value_text(std::string_view format, std::string_view reply, const WatchValueStyle& style)
{
    if (format == "H")
        return std::string(reply);
    if (format == "B") {
        const auto byte = static_cast<unsigned>(hex_value(reply.size() > 2 ? reply.substr(reply.size() - 2) : reply));
        std::string bits;
        for (int bit = 7; bit >= 0; --bit)
            bits.push_back((byte >> bit) & 1 ? '1' : '0');
        return bits;
    }
    if (format == "D")
        return picture_number(hex_value(reply), 3) + " d";
    if (format == "Q")
        return picture_number(hex_value(word_digits(reply, style.order)), style.word_picture_width) + " d";
    if (format == "W")
        return " " + word_digits(reply, style.order) + " h";
    return std::nullopt;
}


std::optional<ValueOutput> watch_value_output(std::string_view format, std::string_view reply, const BoardDescription& board,
                                              std::int16_t byte_order_setting, ValueContext context)
{
    auto text = watch_value_text(format, reply, value_style(board, byte_order_setting));
    if (!text)
        return std::nullopt;
    ValueOutput output;
    output.text = std::move(*text);
    if (format == "Q" && context == ValueContext::WatchPage) {
        output.erase_blanks = kWordEraseWidth;
        output.locate_shift = board.word_value_locate_shift;
    }
    if (format == "W")
        output.line_end = board.hex_word_ends_page_line || context == ValueContext::ChangeRow;
    return output;
}

}  // namespace monitor
