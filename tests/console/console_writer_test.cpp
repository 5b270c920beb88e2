#include <gtest/gtest.h>

#include "tests/console/headless_console.h"

namespace rt::console {
namespace {

using testing::HeadlessConsole;
using testing::padded;

TEST(ConsoleWriter, EightyCharactersFromColumnZeroEndAtTheNextRow)
{
    HeadlessConsole console;
    const std::string line(80, 'A');
    console.write(line);
    EXPECT_EQ(console.state().cursor_column, 0);
    EXPECT_EQ(console.state().cursor_row, 1);
    EXPECT_EQ(console.cell_row(0), line);
    EXPECT_EQ(console.shown_row(0), line);
    // On the last region row the same text scrolls the region.
    console.locate(0, 23);
    console.write(std::string(80, 'B'));
    EXPECT_EQ(console.state().cursor_row, 23);
    EXPECT_EQ(console.state().cursor_column, 0);
    EXPECT_EQ(console.cell_row(22), std::string(80, 'B'));
    EXPECT_EQ(console.cell_row(23), padded(""));
    EXPECT_TRUE(console.screen().scrolled_mark());
    EXPECT_EQ(console.shown_row(22), std::string(80, 'B'));
}

TEST(ConsoleWriter, DoubleByteCharacterAtTheLastColumnMovesToTheNextRow)
{
    HeadlessConsole console;
    console.locate(79, 0);
    console.write("\x82\xA0");  // one double-byte character
    EXPECT_EQ(console.screen().cells().cell(79, 0).character, ' ');
    EXPECT_EQ(console.screen().cells().cell(79, 0).attribute, 4);
    EXPECT_EQ(console.screen().cells().cell(0, 1).character, 0x82);
    EXPECT_EQ(console.screen().cells().cell(0, 1).flag, kLeadByte);
    EXPECT_EQ(console.screen().cells().cell(1, 1).character, 0xA0);
    EXPECT_EQ(console.screen().cells().cell(1, 1).flag, kTrailByte);
    EXPECT_EQ(console.state().cursor_column, 2);
    EXPECT_EQ(console.state().cursor_row, 1);
    EXPECT_EQ(console.shown_row(1).substr(0, 2), "\x82\xA0");
}

TEST(ConsoleWriter, LeadByteWrittenAloneWaitsForItsTrail)
{
    HeadlessConsole console;
    console.write("ab\x82");
    EXPECT_TRUE(console.state().pending.present);
    EXPECT_EQ(console.state().cursor_column, 3);
    console.write("\xA0" "c");
    EXPECT_FALSE(console.state().pending.present);
    EXPECT_EQ(console.cell_row(0).substr(0, 5), "ab\x82\xA0" "c");
    EXPECT_EQ(console.screen().cells().cell(2, 0).flag, kLeadByte);
    EXPECT_EQ(console.state().cursor_column, 5);
    // Moving the cursor in between drops the pending lead byte.
    console.write("\x82");
    console.locate(10, 0);
    console.write("x");
    EXPECT_FALSE(console.state().pending.present);
    EXPECT_EQ(console.screen().cells().cell(10, 0).character, 'x');
    // A pending lead byte at the last column continues on the next row.
    console.locate(78, 2);
    console.write("z\x82");
    console.write("\xA0");
    EXPECT_EQ(console.screen().cells().cell(79, 2).character, ' ');
    EXPECT_EQ(console.screen().cells().cell(0, 3).flag, kLeadByte);
    EXPECT_EQ(console.state().cursor_column, 2);
}

TEST(ConsoleWriter, OverwritingHalfADoubleByteCharacterBlanksTheOtherHalf)
{
    HeadlessConsole console;
    console.write("\x82\xA0\x82\xA0");
    console.locate(1, 0);
    console.write("x");
    EXPECT_EQ(console.cell_row(0).substr(0, 4), " x\x82\xA0");
    EXPECT_EQ(console.screen().cells().cell(0, 0).flag, kSingleByte);
    console.locate(2, 0);
    console.write("y");
    EXPECT_EQ(console.cell_row(0).substr(0, 4), " xy ");
    EXPECT_EQ(console.screen().cells().cell(3, 0).flag, kSingleByte);
}

TEST(ConsoleWriter, WrapBelowTheRegionClearsTheRowsBelowAndStaysThere)
{
    HeadlessConsole console;
    console.state().region_top = 0;
    console.state().region_rows = 23;
    console.locate(0, 22);
    console.write("keep");
    console.locate(70, 23);
    console.write(std::string(15, 'W'));
    EXPECT_EQ(console.state().cursor_row, 23);
    EXPECT_EQ(console.state().cursor_column, 5);
    EXPECT_EQ(console.cell_row(23), padded(std::string(5, 'W')));
    EXPECT_EQ(console.cell_row(22).substr(0, 4), "keep");
    EXPECT_FALSE(console.screen().scrolled_mark());
}

TEST(ConsoleWriter, TextInsideTheRegionNeverScrollsTheRowBelow)
{
    HeadlessConsole console;
    console.state().region_top = 0;
    console.state().region_rows = 23;
    console.locate(0, 23);
    console.write("status");
    console.locate(0, 0);
    for (int i = 0; i < 40; ++i)
        console.write("line\r\n");
    EXPECT_EQ(console.state().cursor_row, 22);
    EXPECT_EQ(console.cell_row(23).substr(0, 6), "status");
    EXPECT_EQ(console.cell_row(21).substr(0, 4), "line");
}

TEST(ConsoleWriter, LineFeedOnTheLastRegionRowScrollsOnlyTheRegion)
{
    HeadlessConsole console;
    for (int row = 0; row < 24; ++row) {
        console.locate(0, row);
        console.write("row" + std::to_string(row));
    }
    console.state().region_top = 2;
    console.state().region_rows = 17;
    console.locate(5, 18);
    console.write("\n");
    EXPECT_EQ(console.state().cursor_row, 18);
    EXPECT_EQ(console.state().cursor_column, 5);  // LF keeps the column
    EXPECT_EQ(console.cell_row(1).substr(0, 4), "row1");
    EXPECT_EQ(console.cell_row(2).substr(0, 4), "row3");
    EXPECT_EQ(console.cell_row(17).substr(0, 5), "row18");
    EXPECT_EQ(console.cell_row(18), padded(""));
    EXPECT_EQ(console.cell_row(19).substr(0, 5), "row19");
    EXPECT_EQ(console.cell_row(23).substr(0, 5), "row23");
    EXPECT_EQ(console.shown_row(2).substr(0, 4), "row3");
    EXPECT_EQ(console.shown_row(18), "");  // shown rows drop trailing spaces
}

TEST(ConsoleWriter, WrapAboveTheRegionClearsTheRowsAbove)
{
    HeadlessConsole console;
    console.state().region_top = 3;
    console.state().region_rows = 10;
    console.locate(0, 5);
    console.write("inside");
    console.locate(75, 2);
    console.write("0123456789");
    EXPECT_EQ(console.state().cursor_row, 0);
    EXPECT_EQ(console.cell_row(0), padded("56789"));
    EXPECT_EQ(console.cell_row(2), padded(""));
    EXPECT_EQ(console.cell_row(5).substr(0, 6), "inside");
}

TEST(ConsoleWriter, CarriageReturnGoesToColumnZero)
{
    HeadlessConsole console;
    console.write("hello\rJ");
    EXPECT_EQ(console.cell_row(0).substr(0, 5), "Jello");
    EXPECT_EQ(console.state().cursor_column, 1);
}

TEST(ConsoleWriter, MinimisedWindowKeepsCellsAndShowsThemWhenRestored)
{
    HeadlessConsole console;
    console.desktop->send(host::Message{
        .window = console.window->id(), .kind = host::MessageKind::Size, .size_state = host::size_state::kMinimised});
    console.write("hidden text");
    EXPECT_EQ(console.cell_row(0).substr(0, 11), "hidden text");
    EXPECT_NE(console.shown_row(0).substr(0, 11), "hidden text");
    console.desktop->send(
        host::Message{.window = console.window->id(), .kind = host::MessageKind::Size, .client_size = {640, 432}});
    EXPECT_EQ(console.shown_row(0).substr(0, 11), "hidden text");
}

}  // namespace
}  // namespace rt::console
