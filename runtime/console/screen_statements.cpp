#include "runtime/console/screen_statements.h"

#include <algorithm>

#include "runtime/console/console_records.h"
#include "runtime/console/console_sites.h"
#include "runtime/console/console_writer.h"
#include "runtime/console/palette.h"
#include "runtime/core/error.h"

namespace rt {

using console::ConsoleScreen;
using console::TextScreenState;

namespace {

void require(bool condition, std::uint16_t site)
{
    if (!condition)
        RAISE_ERROR(err::kIllegalArgument, site);
}

bool in_range(std::int32_t value, std::int32_t low, std::int32_t high) noexcept
{
    return value >= low && value <= high;
}

// Moves the cursor and shows the caret there; a half-written double-byte
// character stays pending only while the cursor does not move.
void move_cursor(ConsoleScreen& screen, int column, int row)
{
    TextScreenState& s = screen.state();
    s.cursor_column = column;
    s.cursor_row = row;
    screen.show_caret();
}

}  // namespace

void LOCATE(std::uint32_t window, std::int32_t column, std::int32_t row, std::int32_t cursor_switch, std::uint32_t given)
{
    ConsoleScreen& screen = console::resolve_window(window, console::site::kLocateWindow).screen();
    TextScreenState& s = screen.state();
    if (given & kLocateColumn)
        require(in_range(column, 0, s.columns - 1), console::site::kLocateColumn);
    if (given & kLocateRow)
        require(in_range(row, 0, s.rows - 1), console::site::kLocateRow);
    if (given & kLocateCursor)
        require(in_range(cursor_switch, 0, s.graphics_text != 0 ? 0 : 1), console::site::kLocateSwitch);
    const int new_column = (given & kLocateColumn) ? column : s.cursor_column;
    const int new_row = (given & kLocateRow) ? row : s.cursor_row;
    if (s.graphics_text != 0) {
        s.graphics_text_x = new_column * s.cell_width;
        s.graphics_text_y = new_row * s.cell_height;
        return;
    }
    if (given & kLocateCursor) {
        s.cursor_switch = cursor_switch;
        if (cursor_switch == 0)
            screen.hide_caret();
    }
    move_cursor(screen, new_column, new_row);
}

void CLS(std::uint32_t window, std::int32_t mode)
{
    require(in_range(mode, 0, 5), console::site::kClsMode);
    console::ConsoleWindow& console_window = console::resolve_window(window, console::site::kClsWindow);
    ConsoleScreen& screen = console_window.screen();
    TextScreenState& s = screen.state();
    if (s.graphics_text != 0 && mode != 0)
        RAISE_ERROR(err::kBadWindowState, console::site::kClsGraphicsText);
    ConsoleScreen::PaintScope paint(screen);
    const int below = s.region_top + s.region_rows;
    switch (mode) {
    case 0:
        s.brush_colour = s.background_colour;
        move_cursor(screen, 0, s.region_top);
        screen.fill_graphics_view();
        screen.clear_rows(0, s.rows);
        break;
    case 1:
        move_cursor(screen, 0, s.region_top);
        screen.clear_rows(s.region_top, s.region_rows);
        break;
    case 2:
        move_cursor(screen, 0, 0);
        screen.clear_rows(0, s.region_top);
        break;
    case 3:
        // A region that reaches the last row leaves no row below: stay on the last one.
        move_cursor(screen, 0, std::min(below, s.rows - 1));
        screen.clear_rows(below, s.rows - below);
        break;
    case 4:
        move_cursor(screen, 0, s.region_top);
        screen.clear_rows(0, s.rows);
        break;
    default:
        s.brush_colour = s.background_colour;
        screen.fill_graphics_view();
        console_window.repaint();
        break;
    }
}

void COLOR(std::uint32_t window, std::int32_t text, std::int32_t background, std::int32_t drawing, std::int32_t attribute,
           std::uint32_t given)
{
    ConsoleScreen& screen = console::resolve_window(window, console::site::kColorWindow).screen();
    if ((given & (kColorText | kColorBackground | kColorDrawing | kColorAttribute)) == 0)
        return;
    TextScreenState& s = screen.state();
    if (given & kColorAttribute) {
        const std::int32_t t = attribute & 0x7FFF;
        require(t == 0 || t == 1 || t == 4 || t == 5, console::site::kColorAttribute);
    }
    if (given & kColorText)
        require(in_range(text, 0, 15), console::site::kColorText);
    if (given & kColorBackground)
        require(in_range(background, 0, 15), console::site::kColorBackground);
    if (given & kColorDrawing)
        require(in_range(drawing, 0, 15), console::site::kColorDrawing);

    if (given & kColorText) {
        s.text_colour = text;
        if (given & kColorAttribute) {
            const std::int32_t t = attribute & 0x7FFF;
            s.attribute = static_cast<std::uint32_t>(text > 7 ? (t <= 1 ? 1 : 5) : t);
        }
    } else if (given & kColorAttribute) {
        s.attribute = static_cast<std::uint32_t>(attribute & 0x7FFF);
    }
    if (given & kColorBackground)
        s.background_colour = background;
    if (given & kColorDrawing)
        s.drawing_colour = drawing;
    s.text_colour_value = console::resolve_colours(s.text_colour, s.attribute, s.background_colour).foreground;
}

void CON_VIEW_REGION(std::uint32_t window, std::int32_t top, std::int32_t count, std::uint32_t given)
{
    ConsoleScreen& screen = console::resolve_window(window, console::site::kViewRegionWindow).screen();
    TextScreenState& s = screen.state();
    if (s.graphics_text != 0)
        RAISE_ERROR(err::kBadWindowState, console::site::kViewRegionGraphicsText);
    if (given & kRegionTop)
        require(in_range(top, 0, s.rows - 1), console::site::kViewRegionTop);
    if (given & kRegionCount)
        require(in_range(count, 0, s.rows), console::site::kViewRegionCount);
    const int new_top = (given & kRegionTop) ? top : s.region_top;
    const int new_count = (given & kRegionCount) ? count : s.region_rows;
    require(new_top + new_count <= s.rows, console::site::kViewRegionSum);
    s.region_top = new_top;
    s.region_rows = new_count;
    move_cursor(screen, 0, new_top);
}

std::int16_t CURSOR_ROW(std::uint32_t window)
{
    const TextScreenState& s = console::resolve_window(window, console::site::kCursorRowWindow).screen().state();
    if (s.graphics_text != 0)
        RAISE_ERROR(err::kBadWindowState, console::site::kCursorRowGraphicsText);
    return static_cast<std::int16_t>(s.cursor_row);
}

}  // namespace rt
