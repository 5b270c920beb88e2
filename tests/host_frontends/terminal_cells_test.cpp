#include <gtest/gtest.h>

#include "host/cell_grid.h"
#include "host/terminal_palette.h"

namespace {

using host::CellGrid;
using host::Rect;
using host::Surface;
namespace exits = host::line_exit;

constexpr std::uint32_t kLine = 0xFFFFFF;

// The dump page's two separator lines: (48,197)-(424,197) and x=236 from y=0 to 431.
Surface dump_page_layer()
{
    Surface layer(640, 432, 0);
    for (int x = 48; x <= 424; ++x)
        layer.pixel(x, 197) = kLine;
    for (int y = 0; y < 432; ++y)
        layer.pixel(236, y) = kLine;
    return layer;
}

TEST(CellLines, ClassifiesLineShapesInACell)
{
    const Surface layer = dump_page_layer();
    auto exits_at = [&](int column, int row) {
        return host::classify_cell_pixels(layer, Rect{column * 8, row * 18, column * 8 + 8, row * 18 + 18}).exits;
    };
    EXPECT_EQ(exits_at(10, 10), exits::kLeft | exits::kRight);  // y=197 is the last pixel row of row 10
    EXPECT_EQ(exits_at(10, 11), 0);
    EXPECT_EQ(exits_at(29, 3), exits::kUp | exits::kDown);      // x=236 is in column 29
    EXPECT_EQ(exits_at(29, 10), exits::kLeft | exits::kRight | exits::kUp | exits::kDown);
    EXPECT_EQ(exits_at(6, 10), exits::kLeft | exits::kRight);   // starts at the cell's first pixel
    EXPECT_EQ(exits_at(53, 10), 0);                           // one end pixel shows nothing
    EXPECT_EQ(exits_at(5, 10), 0);
    const host::CellLine shape = host::classify_cell_pixels(layer, Rect{80, 180, 88, 198});
    EXPECT_EQ(shape.background, 0U);
    EXPECT_EQ(shape.line_colour, kLine);
}

TEST(CellLines, BoxDrawingCharacters)
{
    EXPECT_EQ(host::box_drawing_character(exits::kLeft | exits::kRight), U'─');
    EXPECT_EQ(host::box_drawing_character(exits::kLeft), U'─');
    EXPECT_EQ(host::box_drawing_character(exits::kUp | exits::kDown), U'│');
    EXPECT_EQ(host::box_drawing_character(exits::kRight | exits::kDown), U'┌');
    EXPECT_EQ(host::box_drawing_character(exits::kLeft | exits::kUp), U'┘');
    EXPECT_EQ(host::box_drawing_character(exits::kLeft | exits::kRight | exits::kUp | exits::kDown), U'┼');
    EXPECT_EQ(host::box_drawing_character(exits::kUp | exits::kDown | exits::kLeft), U'┤');
    EXPECT_EQ(host::box_drawing_character(0), 0U);
}

TEST(CellGridTest, TextRunsFillCellsAndRestoresClearThem)
{
    CellGrid grid(80, 24, 8, 18);
    grid.restore_from_layer(dump_page_layer(), Rect{0, 0, 640, 432}, 0, 0);
    EXPECT_EQ(grid.at(29, 10).line, exits::kLeft | exits::kRight | exits::kUp | exits::kDown);
    grid.take_dirty_rows();

    host::TextRun run;
    run.x = 78 * 8, run.y = 2 * 18;
    run.text = "A\x88\xEA";  // "A" then 一 cut by the right edge
    run.foreground = 0xFF0000;
    run.background = 0x00FF00;
    run.paint_background = true;
    grid.put_text(run);
    EXPECT_EQ(grid.at(78, 2).byte, 'A');
    EXPECT_TRUE(grid.at(78, 2).reversed);
    EXPECT_EQ(grid.at(78, 2).background, 0x00FF00U);
    EXPECT_EQ(grid.at(79, 2).byte, ' ');  // no half of a double-byte character
    const auto dirty = grid.take_dirty_rows();
    EXPECT_TRUE(dirty[2]);
    EXPECT_FALSE(dirty[3]);

    run.x = 8, run.y = 5 * 18 + 3;  // inside row 5
    run.text = "\x88\xEA" "B";
    run.paint_background = false;
    grid.put_text(run);
    EXPECT_EQ(grid.at(1, 5).part, host::CellPart::Lead);
    EXPECT_EQ(grid.at(2, 5).part, host::CellPart::Trail);
    EXPECT_EQ(grid.row_text(5), " \x88\xEA" "B");
    EXPECT_FALSE(grid.at(1, 5).reversed);

    // A run scrolled in from the left keeps only its visible cells.
    run.x = -16, run.y = 7 * 18;
    run.text = "abcd";
    grid.put_text(run);
    EXPECT_EQ(grid.row_text(7), "cd");

    grid.clear(Rect{0, 5 * 18, 640, 6 * 18}, 0x123456);
    EXPECT_EQ(grid.row_text(5), "");
    EXPECT_EQ(grid.at(1, 5).background, 0x123456U);
    EXPECT_EQ(grid.row_text(7), "cd");
}

TEST(TerminalPalette, NearestColours)
{
    EXPECT_EQ(host::nearest_indexed256(0x808080), 244);  // grey 128 is on the grey ramp
    EXPECT_EQ(host::nearest_indexed256(0xFFFFFF), 231);
    EXPECT_EQ(host::nearest_indexed256(0x000000), 16);
    EXPECT_EQ(host::nearest_indexed256(0x000080), 18);   // 0,0,135
    EXPECT_EQ(host::nearest_indexed256(0xFF00FF), 201);
    EXPECT_EQ(host::indexed256_rgb(244), 0x808080U);
    EXPECT_EQ(host::nearest_basic8(0x800000), 1);
    EXPECT_EQ(host::nearest_basic8(0x00FF00), 2);
    EXPECT_EQ(host::nearest_basic8(0xC0C0C0), 7);
    EXPECT_EQ(host::nearest_basic8(0x000080), 4);
    EXPECT_EQ(host::terminal_colour(0x123456, host::TerminalColours::Direct), 0x123456);
    EXPECT_EQ(host::terminal_colours_for(256, true), host::TerminalColours::Indexed256);
    EXPECT_EQ(host::terminal_colours_for(0x1000000, true), host::TerminalColours::Direct);
    EXPECT_EQ(host::terminal_colours_for(8, true), host::TerminalColours::Basic8);
    EXPECT_EQ(host::terminal_colours_for(256, false), host::TerminalColours::None);
}

}  // namespace
