#include "legend.h"

namespace monitor {

std::vector<LegendCell> legend_cells(int currentMode, const std::array<std::string, 13>& functionKeyNames)
{
    auto colour_of = [&](int mode) { return currentMode == mode ? kLegendCurrent : kLegendOther; };
    std::vector<LegendCell> cells;
    cells.push_back({kLegendF1, false, colour_of(1), std::string(kLegendF1Text)});
    for (int key = 2; key <= 11; ++key) {
        const auto index = static_cast<std::size_t>(key - 2);
        cells.push_back({kLegendCells[index], true, colour_of(key),
                         std::string(kLegendLabels[index]) + functionKeyNames[static_cast<std::size_t>(key)]});
    }
    return cells;
}

}  // namespace monitor
