// A console position and a colour setting, as the monitors' screen maps give them.
#pragma once

#include <string_view>

namespace monitor {

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

}  // namespace monitor

namespace monitor {

// A fixed text at its place.
struct PlacedText {
    ScreenPlace place;
    std::string_view text;
};

}  // namespace monitor
