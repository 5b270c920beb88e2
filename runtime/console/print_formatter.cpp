#include "runtime/console/print_formatter.h"

#include <algorithm>

#include "runtime/core/shift_jis.h"

namespace rt::console {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kTabExpansionFloor = 512;

// Bytes of `text` from `position` that fit in `room` columns without cutting a
// double-byte character; at least one character when nothing would fit.
std::size_t fitting_length(std::string_view text, std::size_t position, std::size_t room) noexcept
{
    std::size_t i = position;
    while (i < text.size()) {
        const std::size_t n = sjis::character_length(text, i);
        if (i + n - position > room)
            break;
        i += n;
    }
    if (i == position && i < text.size())
        i += sjis::character_length(text, i);
    return i - position;
}

}  // namespace

std::string expand_tabs(std::string_view item, int column)
{
    std::string out;
    out.reserve(item.size());
    const std::size_t limit = std::max(kTabExpansionFloor, 2 * item.size());
    for (std::size_t i = 0; i < item.size(); ++i) {
        if (item[i] != '\t') {
            out += item[i];
            continue;
        }
        const std::size_t at = static_cast<std::size_t>(column) + out.size();
        const std::size_t pad = 8 - at % 8;
        if (out.size() + pad + (item.size() - i - 1) > limit) {
            out.append(item.substr(i));
            break;
        }
        out.append(pad, ' ');
    }
    return out;
}

FormattedItem format_print_item(std::string_view item, const PrintTarget& target, int separator)
{
    FormattedItem result;
    int column = target.column;
    const int width = target.width;
    std::string expanded;
    if (target.console && target.expand_tabs && item.find('\t') != std::string_view::npos) {
        expanded = expand_tabs(item, column);
        if (width != 0 && column > 0 && column + static_cast<int>(expanded.size()) > width)
            expanded = expand_tabs(item, 0);
        item = expanded;
    }
    const int length = static_cast<int>(item.size());
    std::string& out = result.text;
    out.reserve(item.size() + 64);

    if (width == 0 || column + length <= width) {
        out.append(item);
        column += length;
    } else {
        if (column > 0) {
            out.append(kLineEnd);
            column = 0;
        }
        if (target.console) {
            out.append(item);
            column = length % width;
        } else {
            std::size_t position = 0;
            while (column + static_cast<int>(item.size() - position) >= width) {
                const std::size_t take = fitting_length(item, position, static_cast<std::size_t>(width - column));
                out.append(item.substr(position, take));
                out.append(kLineEnd);
                position += take;
                column = 0;
                if (position == item.size())
                    break;
            }
            out.append(item.substr(position));
            column += static_cast<int>(item.size() - position);
        }
    }

    if (separator == kSeparatorComma) {
        const int pad = kCommaZoneWidth - column % kCommaZoneWidth;
        if (width != 0 && (column + pad > width || width - (column + pad) < kCommaZoneWidth)) {
            out.append(kLineEnd);
            column = 0;
        } else {
            out.append(static_cast<std::size_t>(pad), ' ');
            column += pad;
        }
    } else if (separator == kSeparatorEndOfLine) {
        out.append(kLineEnd);
        column = 0;
    }
    result.column = column;
    return result;
}

}  // namespace rt::console
