#include "monitors/monitor_shared/legend.h"

#include "monitors/monitor_shared/console_output.h"
#include "runtime/core/frame.h"

namespace monitor {

using rt::stmt;

std::vector<LegendCell> legend_cells(DisplayMode current_mode, const FunctionKeyNames& function_key_names)
{
    auto colour_of = [&](int key) { return current_mode == mode_of_key(key) ? kLegendCurrent : kLegendOther; };
    std::vector<LegendCell> cells;
    cells.push_back({kLegendF1, false, colour_of(1), std::string(kLegendF1Text)});
    for (int key = 2; key <= 11; ++key) {
        const auto index = static_cast<std::size_t>(key - 2);
        const std::string_view name = fitting_text(function_key_names[static_cast<std::size_t>(key)], kLegendCellWidth);
        cells.push_back({kLegendCells[index], true, colour_of(key),
                         std::string(fitting_text(std::string(kLegendLabels[index]).append(name), kLegendCellWidth))});
    }
    return cells;
}



void draw_legend(DisplayMode current_mode, const FunctionKeyNames& function_key_names)
{
    for (const LegendCell& cell : legend_cells(current_mode, function_key_names)) {
        if (cell.blank_first) {
            stmt(__LINE__, [&] { locate(cell.place); });
            stmt(__LINE__, [&] { text_colour(kLegendBlank); });
            stmt(__LINE__, [&] { print_blanks(kLegendCellWidth); });
        }
        stmt(__LINE__, [&] { text_colour(cell.colour); });
        stmt(__LINE__, [&] { locate(cell.place); });
        stmt(__LINE__, [&] { print(cell.text); });
    }
    stmt(__LINE__, [&] { text_colour(kLegendDone); });
}

}  // namespace monitor
