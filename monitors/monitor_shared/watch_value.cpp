#include "watch_value.h"

#include "number_text.h"
#include "numeric_picture.h"

namespace monitor {

namespace {

// The value of "&H" followed by `digits`; such text always converts.
double hex_value(std::string_view digits)
{
    return value_of_text("&H" + std::string(digits)).value_or(0.0);
}

std::string_view mid(std::string_view text, std::size_t start, std::size_t count)
{
    return start < text.size() ? text.substr(start, count) : std::string_view{};
}

}  // namespace

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
        return picture_number(hex_value(word_digits(reply, style.order)), style.wordPictureWidth) + " d";
    if (format == "W")
        return " " + word_digits(reply, style.order) + " h";
    return std::nullopt;
}

}  // namespace monitor
