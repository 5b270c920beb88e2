#include "legend_drawing.h"

#include "console_output.h"
#include "legend.h"
#include "runtime/core/frame.h"

namespace monitor {

using rt::stmt;

void draw_legend(int currentMode, const std::array<std::string, 13>& functionKeyNames)
{
    for (const LegendCell& cell : legend_cells(currentMode, functionKeyNames)) {
        if (cell.blankFirst) {
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
