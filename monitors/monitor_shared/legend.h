// The function-key legend of rows 22 and 23, shared by both monitors: F1,
// then F2-F11 each blanked to 13 cells and labelled with its key name. The
// cell of the current display mode is highlighted.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "monitors/monitor_shared/monitor_state.h"
#include "monitors/monitor_shared/screen_place.h"


namespace monitor {

inline constexpr ScreenPlace kLegendF1{1, 22};
inline constexpr std::string_view kLegendF1Text = "F1=256dump";
inline constexpr std::array<ScreenPlace, 10> kLegendCells{
    ScreenPlace{14, 22}, ScreenPlace{27, 22}, ScreenPlace{40, 22}, ScreenPlace{53, 22}, ScreenPlace{66, 22},
    ScreenPlace{1, 23},  ScreenPlace{14, 23}, ScreenPlace{27, 23}, ScreenPlace{40, 23}, ScreenPlace{53, 23}};  // F2..F11
inline constexpr std::array<std::string_view, 10> kLegendLabels{"F2=", "F3=", "F4=", "F5=", "F6=",
                                                                "F7=", "F8=", "F9=", "F10=", "F11="};
inline constexpr int kLegendCellWidth = 13;
inline constexpr ScreenColour kLegendBlank{0, 5};
inline constexpr ScreenColour kLegendCurrent{5, 5};
inline constexpr ScreenColour kLegendOther{7, 5};
inline constexpr ScreenColour kLegendDone{7, 4};  // set after the legend

struct LegendCell {
    ScreenPlace place;
    bool blank_first;      // print 13 blanks in kLegendBlank before the text
    ScreenColour colour;  // of the text
    std::string text;
};

// The cells in drawing order; the cell of `current_mode` is highlighted.
std::vector<LegendCell> legend_cells(DisplayMode current_mode, const FunctionKeyNames& function_key_names);


// Draws the cells.
void draw_legend(DisplayMode current_mode, const FunctionKeyNames& function_key_names);

}  // namespace monitor
