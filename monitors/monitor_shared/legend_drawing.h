// Draws the function-key legend of rows 22 and 23 (the cells of legend.h).
#pragma once

#include <array>
#include <string>

namespace monitor {

void draw_legend(int currentMode, const std::array<std::string, 13>& functionKeyNames);

}  // namespace monitor
