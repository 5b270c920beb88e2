// The print formatter: turns one print item and its separator into the text
// sent to a target, keeping the target's output column. Shared by the console,
// serial channels and disk files.
#pragma once

#include <string>
#include <string_view>

namespace rt::console {

inline constexpr int kSeparatorEndOfLine = 0;
inline constexpr int kSeparatorComma = 1;
inline constexpr int kSeparatorSemicolon = 2;
inline constexpr int kCommaZoneWidth = 14;

struct PrintTarget {
    int column = 0;        // current output column
    int width = 0;         // line width; 0 = never wrap
    bool console = false;  // the console writer wraps by itself
    bool expand_tabs = false;  // console targets in text mode
};

struct FormattedItem {
    std::string text;  // what to send: item, inserted line ends, zone spaces, line end
    int column = 0;    // the target's column afterwards
};

FormattedItem format_print_item(std::string_view item, const PrintTarget& target, int separator);

// TAB expansion to 8-column stops counting from `column` (exposed for tests).
std::string expand_tabs(std::string_view item, int column);

}  // namespace rt::console
