// A console position, a colour setting and fixed texts, as the monitors'
// screen maps give them; and the part of a text that fits its place.
#pragma once

#include <cstddef>
#include <string_view>

#include "runtime/core/shift_jis.h"

namespace monitor {

inline constexpr int kScreenColumns = 80;

struct ScreenPlace {
    int column;
    int row;
};

// Colour number and display attribute as COLOR takes them (attribute 4:
// normal, 5: reversed, so cells show as coloured bars).
struct ScreenColour {
    int colour;
    int attribute;
};

// A fixed text at its place.
struct PlacedText {
    ScreenPlace place;
    std::string_view text;
};

// The first characters of `text` that fill at most `cells` columns (a
// double-byte character takes two and is never split). Texts from files and
// from the target are cut to their cells before they are printed, so a huge
// field costs no time and cannot spill over the screen.
inline std::string_view fitting_text(std::string_view text, int cells)
{
    const std::size_t limit = cells > 0 ? static_cast<std::size_t>(cells) : 0;
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t length = rt::sjis::character_length(text, end);
        if (end + length > limit)
            break;
        end += length;
    }
    return text.substr(0, end);
}

// The part of `text` that fits from `place` to the end of its row.
inline std::string_view text_to_row_end(std::string_view text, ScreenPlace place)
{
    return fitting_text(text, kScreenColumns - place.column);
}

}  // namespace monitor
