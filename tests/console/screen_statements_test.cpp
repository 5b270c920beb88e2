#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <vector>

#include "tests/console/console_runtime.h"
#include "runtime/console/palette.h"
#include "runtime/console/print_statements.h"
#include "runtime/console/screen_statements.h"

namespace rt::console {
namespace {

using testing::ConsoleRuntime;
using testing::error_of;

void print(std::string_view text, std::uint16_t separator = 2)
{
    push_temp(text);
    PRINT_STR(separator);
}

TEST(Locate, ChecksEveryArgumentBeforeMovingTheCursor)
{
    ConsoleRuntime c;
    LOCATE(0, 10, 5, 0, kLocateColumn | kLocateRow);
    EXPECT_EQ(c.state().cursor_column, 10);
    EXPECT_EQ(c.state().cursor_row, 5);
    EXPECT_EQ(error_of([] { LOCATE(0, 80, 0, 0, kLocateColumn); }), err::kIllegalArgument);
    EXPECT_EQ(error_of([] { LOCATE(0, 1, 24, 0, kLocateColumn | kLocateRow); }), err::kIllegalArgument);
    EXPECT_EQ(error_of([] { LOCATE(0, 1, 1, 2, 7); }), err::kIllegalArgument);
    EXPECT_EQ(error_of([] { LOCATE(3, 1, 1, 0, 3); }), err::kBadWindow);
    EXPECT_EQ(c.state().cursor_column, 10);
    EXPECT_EQ(c.state().cursor_row, 5);
    // Only the given parts change.
    LOCATE(0, 0, 7, 1, kLocateRow | kLocateCursor);
    EXPECT_EQ(c.state().cursor_column, 10);
    EXPECT_EQ(c.state().cursor_row, 7);
    EXPECT_EQ(c.state().cursor_switch, 1);
}

TEST(Cls, ModesMoveTheCursorAndClearTheirRows)
{
    ConsoleRuntime c;
    for (int row = 0; row < 24; ++row) {
        LOCATE(0, 0, row, 0, kLocateColumn | kLocateRow);
        print("x");
    }
    CON_VIEW_REGION(0, 2, 17, kRegionTop | kRegionCount);
    LOCATE(0, 40, 20, 0, kLocateColumn | kLocateRow);
    CLS(0, 1);
    EXPECT_EQ(c.state().cursor_column, 0);
    EXPECT_EQ(c.state().cursor_row, 2);
    EXPECT_EQ(c.cell_row(1)[0], 'x');
    EXPECT_EQ(c.cell_row(2)[0], ' ');
    EXPECT_EQ(c.cell_row(18)[0], ' ');
    EXPECT_EQ(c.cell_row(19)[0], 'x');
    CLS(0, 3);
    EXPECT_EQ(c.state().cursor_row, 19);
    EXPECT_EQ(c.cell_row(19)[0], ' ');
    EXPECT_EQ(c.cell_row(1)[0], 'x');
    CLS(0, 2);
    EXPECT_EQ(c.state().cursor_row, 0);
    EXPECT_EQ(c.cell_row(1)[0], ' ');
    // The region is unchanged by CLS.
    EXPECT_EQ(c.state().region_top, 2);
    EXPECT_EQ(c.state().region_rows, 17);
    // Mode 3 with a region reaching the last row keeps the cursor on the screen.
    CON_VIEW_REGION(0, 0, 24, kRegionTop | kRegionCount);
    CLS(0, 3);
    EXPECT_EQ(c.state().cursor_row, 23);
}

TEST(Cls, BadModeIsReportedBeforeTheWindow)
{
    ConsoleRuntime c;
    EXPECT_EQ(error_of([] { CLS(9, 6); }), err::kIllegalArgument);
    EXPECT_EQ(error_of([] { CLS(9, 1); }), err::kBadWindow);
}

TEST(Color, ChecksAllValuesBeforeStoringAny)
{
    ConsoleRuntime c;
    EXPECT_EQ(error_of([] { COLOR(0, 3, 0, 0, 2, kColorText | kColorAttribute); }), err::kIllegalArgument);
    EXPECT_EQ(error_of([] { COLOR(0, 16, 0, 0, 0, kColorText); }), err::kIllegalArgument);
    EXPECT_EQ(error_of([] { COLOR(0, 3, 16, 0, 0, kColorText | kColorBackground); }), err::kIllegalArgument);
    EXPECT_EQ(error_of([] { COLOR(0, 3, 1, 16, 0, kColorText | kColorBackground | kColorDrawing); }), err::kIllegalArgument);
    EXPECT_EQ(c.state().text_colour, 7);
    EXPECT_EQ(c.state().background_colour, 0);
    EXPECT_EQ(c.state().attribute, 4u);
    COLOR(0, 15, 0, 0, 0, kColorText | kColorAttribute);
    EXPECT_EQ(c.state().attribute, 1u);
    COLOR(0, 9, 0, 0, 4, kColorText | kColorAttribute);
    EXPECT_EQ(c.state().attribute, 5u);
    COLOR(0, 0, 0, 0, 0, kColorAttribute);
    EXPECT_EQ(c.state().attribute, 0u);
    EXPECT_EQ(c.state().text_colour, 9);
}

// The colours of one cell on the window: the corner pixel (outside every glyph)
// and the first pixel that differs from it.
std::pair<std::uint32_t, std::uint32_t> cell_pixels(ConsoleRuntime& c, int column, int row)
{
    const host::Surface* s = c.front->client_surface(c.window().id());
    const int x0 = column * 8, y0 = row * 18;
    const std::uint32_t corner = s->pixel(x0, y0);
    for (int y = y0; y < y0 + 18; ++y)
        for (int x = x0; x < x0 + 8; ++x)
            if (s->pixel(x, y) != corner)
                return {corner, s->pixel(x, y)};
    return {corner, corner};
}

TEST(Color, NormalAndReversedCellsOnTheWindow)
{
    ConsoleRuntime c;
    print("A");  // default 7 with attribute 4: bright white text, no background
    COLOR(0, 7, 0, 0, 5, kColorText | kColorAttribute);
    print("A");  // black on white
    COLOR(0, 15, 0, 0, 0, kColorText | kColorAttribute);
    print("A");  // attribute 1: reversed, black on grey
    const auto normal = cell_pixels(c, 0, 0);
    EXPECT_EQ(normal.first, host::rgb(0, 0, 0));
    EXPECT_EQ(normal.second, host::rgb(255, 255, 255));
    const auto reversed = cell_pixels(c, 1, 0);
    EXPECT_EQ(reversed.first, host::rgb(255, 255, 255));
    EXPECT_EQ(reversed.second, host::rgb(0, 0, 0));
    const auto grey = cell_pixels(c, 2, 0);
    EXPECT_EQ(grey.first, host::rgb(192, 192, 192));
    EXPECT_EQ(grey.second, host::rgb(0, 0, 0));
    EXPECT_EQ(c.window().screen().cells().cell(2, 0).attribute, 1);
}

TEST(ViewRegion, ChecksTheRegionAgainstTheScreen)
{
    ConsoleRuntime c;
    EXPECT_EQ(error_of([] { CON_VIEW_REGION(0, 24, 0, kRegionTop); }), err::kIllegalArgument);
    EXPECT_EQ(error_of([] { CON_VIEW_REGION(0, 0, 25, kRegionCount); }), err::kIllegalArgument);
    EXPECT_EQ(error_of([] { CON_VIEW_REGION(0, 10, 15, kRegionTop | kRegionCount); }), err::kIllegalArgument);
    EXPECT_EQ(c.state().region_top, 0);
    EXPECT_EQ(c.state().region_rows, 24);
    LOCATE(0, 5, 5, 0, 3);
    CON_VIEW_REGION(0, 2, 17, kRegionTop | kRegionCount);
    EXPECT_EQ(c.state().cursor_row, 2);
    EXPECT_EQ(c.state().cursor_column, 0);
    EXPECT_EQ(CURSOR_ROW(0), 2);
}

TEST(PrintStatements, ItemsAndSeparatorsOnTheConsole)
{
    ConsoleRuntime c;
    PRINT_TO_WINDOW(0);
    print("AB", 1);
    EXPECT_EQ(CURSOR_COLUMN(0, 0), 14);
    print("C", 0);
    EXPECT_EQ(c.state().cursor_row, 1);
    EXPECT_EQ(c.cell_row(0).substr(0, 16), "AB            C ");
    LOCATE(0, 3, 1, 0, 3);
    print("\tZ");
    EXPECT_EQ(c.state().cursor_column, 9);
    EXPECT_EQ(c.cell_row(1)[8], 'Z');
    EXPECT_EQ(c.shown_row(0), "AB            C");
    EXPECT_EQ(c.runtime.string_stack().depth(), 0);
}

TEST(PrintStatements, FileNumbersAreChecked)
{
    ConsoleRuntime c;
    EXPECT_EQ(error_of([] { PRINT_TO_FILE(0); }), err::kBadFileNumber);
    EXPECT_EQ(error_of([] { PRINT_TO_FILE(256); }), err::kBadFileNumber);
    EXPECT_EQ(error_of([] { PRINT_TO_FILE(4); }), 57);
    EXPECT_EQ(error_of([] { PRINT_TO_WINDOW(2); }), err::kBadWindow);
    // The keyboard is no output target.
    push_temp("KYBD:");
    OPEN(1, 0, 3);
    PRINT_TO_FILE(3);
    EXPECT_EQ(error_of([] { print("x"); }), err::kBadFileMode);
    // The screen as a file number prints on the console.
    push_temp("SCRN:");
    OPEN(2, 0, 4);
    PRINT_TO_FILE(4);
    print("on screen", 0);
    EXPECT_EQ(c.cell_row(0).substr(0, 9), "on screen");
    EXPECT_EQ(CURSOR_COLUMN(0, 4), 0);
}

TEST(PrintStatements, DiskFilesKeepTheirOwnColumn)
{
    ConsoleRuntime c;
    const std::string path = ::testing::TempDir() + "console_print_column.txt";
    push_temp(path);
    OPEN(2, 0, 5);
    PRINT_TO_FILE(5);
    print("AB", 1);
    EXPECT_EQ(CURSOR_COLUMN(0, 5), 14);
    EXPECT_EQ(CURSOR_COLUMN(0, 0), 0);  // the console's cursor did not move
    print("C", 0);
    EXPECT_EQ(CURSOR_COLUMN(0, 5), 0);
    CLOSE({5});
    std::FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    char buffer[64] = {};
    const std::size_t n = std::fread(buffer, 1, sizeof buffer, f);
    std::fclose(f);
    std::remove(path.c_str());
    EXPECT_EQ(std::string(buffer, n), "AB            C\r\n\x1A");
}

TEST(CellCopy, GetsAndPutsRectanglesInEitherCornerOrder)
{
    ConsoleRuntime c;
    COLOR(0, 2, 0, 0, 5, kColorText | kColorAttribute);
    LOCATE(0, 4, 3, 0, 3);
    print("ab\x82\xA0");
    std::array<std::int16_t, 4> got{};
    CELLS_GET(0, 7, 3, 4, 3, got);
    const int high = 2 | 0x08 | 0x20;
    EXPECT_EQ(got[0], static_cast<std::int16_t>((high << 8) | 'a'));
    EXPECT_EQ(got[2], static_cast<std::int16_t>(((high | 0x40) << 8) | 0x82));
    EXPECT_EQ(got[3] & 0xFF, 0xA0);
    // Colour numbers 8..15 read back with their fourth bit.
    COLOR(0, 12, 0, 0, 4, kColorText | kColorAttribute);
    LOCATE(0, 0, 0, 0, 3);
    print("q");
    std::array<std::int16_t, 1> one{};
    CELLS_GET(0, 0, 0, 0, 0, one);
    EXPECT_EQ((one[0] >> 8) & 0x0F, 12);

    const std::array<std::int16_t, 3> put{static_cast<std::int16_t>(0x2000 | 'X'), static_cast<std::int16_t>(0x4100 | 0x82),
                                          static_cast<std::int16_t>(0x0100 | 0xA2)};
    CELLS_PUT(0, 10, 5, 12, 5, put);
    EXPECT_EQ(c.cell_row(5).substr(10, 3), "X\x82\xA2");
    EXPECT_EQ(c.window().screen().cells().cell(11, 5).flag, kLeadByte);
    EXPECT_EQ(c.window().screen().cells().cell(11, 5).colour, 1);
    EXPECT_EQ(c.window().screen().cells().cell(10, 5).attribute, 4);
}

TEST(CellCopy, CutDoubleByteCharactersLoseTheirOutsideHalf)
{
    ConsoleRuntime c;
    LOCATE(0, 0, 0, 0, 3);
    print("\x82\xA0\x82\xA0\x82\xA0");
    // Columns 1..2 hold the trail of the first character and the lead of the
    // second: both lose their half outside the rectangle.
    const std::array<std::int16_t, 2> put{'y', 'z'};
    CELLS_PUT(0, 1, 0, 2, 0, put);
    EXPECT_EQ(c.cell_row(0).substr(0, 6), " yz \x82\xA0");
    EXPECT_EQ(c.window().screen().cells().cell(0, 0).flag, kSingleByte);
    EXPECT_EQ(c.window().screen().cells().cell(3, 0).flag, kSingleByte);
    // A lead element in the last column of the rectangle is written as a space.
    const std::array<std::int16_t, 1> lead{0x4000 | 0x82};
    CELLS_PUT(0, 5, 1, 5, 1, lead);
    EXPECT_EQ(c.cell_row(1)[5], ' ');
}

TEST(CellCopy, ChecksCornersAndArraySize)
{
    ConsoleRuntime c;
    std::vector<std::int16_t> cells(4);
    EXPECT_EQ(error_of([&] { CELLS_GET(0, 0, 0, 80, 0, cells); }), err::kIllegalArgument);
    EXPECT_EQ(error_of([&] { CELLS_GET(0, 0, 24, 0, 0, cells); }), err::kIllegalArgument);
    EXPECT_EQ(error_of([&] { CELLS_GET(0, 0, 0, 4, 0, cells); }), err::kIllegalArgument);
    EXPECT_EQ(error_of([&] { CELLS_PUT(0, 1, 1, 0, 0, std::span<const std::int16_t>(cells).first(3)); }), err::kIllegalArgument);
    EXPECT_EQ(error_of([&] { CELLS_GET(1, 0, 0, 0, 0, cells); }), err::kBadWindow);
    EXPECT_EQ(error_of([&] { CELLS_GET(0, 1, 1, 0, 0, cells); }), 0);
}

}  // namespace
}  // namespace rt::console
