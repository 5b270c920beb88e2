#include <gtest/gtest.h>

#include "runtime/console/print_formatter.h"

namespace rt::console {
namespace {

FormattedItem file_item(std::string_view text, int column, int width, int separator = kSeparatorSemicolon)
{
    return format_print_item(text, PrintTarget{column, width, false, false}, separator);
}

FormattedItem console_item(std::string_view text, int column, int separator = kSeparatorSemicolon)
{
    return format_print_item(text, PrintTarget{column, 80, true, true}, separator);
}

TEST(PrintFormatter, CommaZonesStartNewLineWhenTheZoneDoesNotFit)
{
    // 70 + 14 > 80.
    auto at70 = file_item("", 70, 80, kSeparatorComma);
    EXPECT_EQ(at70.text, "\r\n");
    EXPECT_EQ(at70.column, 0);
    // Pad 4 reaches 70, and 80 - 70 < 14.
    auto at66 = file_item("", 66, 80, kSeparatorComma);
    EXPECT_EQ(at66.text, "\r\n");
    EXPECT_EQ(at66.column, 0);
    auto at0 = file_item("", 0, 80, kSeparatorComma);
    EXPECT_EQ(at0.text, std::string(14, ' '));
    EXPECT_EQ(at0.column, 14);
    // After an item: "AB" at 10 ends at 12, pad 2 to the zone at 14.
    auto item = file_item("AB", 10, 80, kSeparatorComma);
    EXPECT_EQ(item.text, "AB  ");
    EXPECT_EQ(item.column, 14);
}

TEST(PrintFormatter, WidthZeroNeverSplitsOrBreaks)
{
    const std::string long_text(300, 'x');
    auto item = file_item(long_text, 50, 0, kSeparatorComma);
    EXPECT_EQ(item.text.substr(0, 300), long_text);
    EXPECT_EQ(item.text.find("\r\n"), std::string::npos);
    // 350 % 14 = 0: a whole zone of padding.
    EXPECT_EQ(item.column, 364);
}

TEST(PrintFormatter, SeparatorsEndOfLineAndSemicolon)
{
    EXPECT_EQ(file_item("AB", 3, 80, kSeparatorEndOfLine).text, "AB\r\n");
    EXPECT_EQ(file_item("AB", 3, 80, kSeparatorEndOfLine).column, 0);
    EXPECT_EQ(file_item("AB", 3, 80, kSeparatorSemicolon).text, "AB");
    EXPECT_EQ(file_item("AB", 3, 80, kSeparatorSemicolon).column, 5);
}

TEST(PrintFormatter, FileTargetsSplitLongItemsAtTheWidth)
{
    // Column 5 first goes to a new line, then 10-byte pieces each end the line.
    auto item = file_item("abcdefghijklmnopqrstuvw", 5, 10);
    EXPECT_EQ(item.text, "\r\nabcdefghij\r\nklmnopqrst\r\nuvw");
    EXPECT_EQ(item.column, 3);
    // A piece that fills the line exactly is followed by CR LF.
    auto exact = file_item("abcdefghijklmnopqrst", 0, 10);
    EXPECT_EQ(exact.text, "abcdefghij\r\nklmnopqrst\r\n");
    EXPECT_EQ(exact.column, 0);
    // An item that fits exactly is not broken.
    auto fits = file_item("abcde", 5, 10);
    EXPECT_EQ(fits.text, "abcde");
    EXPECT_EQ(fits.column, 10);
}

TEST(PrintFormatter, FileSplitNeverCutsADoubleByteCharacter)
{
    // "a" then three double-byte characters (0x82 0xA0 each) at width 4:
    // the second piece would end on a lead byte, so it takes one byte fewer.
    const std::string text = "a\x82\xA0\x82\xA0\x82\xA0";
    auto item = file_item(text, 0, 4);
    EXPECT_EQ(item.text, "a\x82\xA0\r\n\x82\xA0\x82\xA0\r\n");
    // Width 1 cannot hold a double-byte character: it is taken whole rather than looping.
    auto narrow = file_item("\x82\xA0", 0, 1);
    EXPECT_EQ(narrow.text, "\x82\xA0\r\n");
}

TEST(PrintFormatter, ConsoleStartsLongItemsOnANewLineButDoesNotSplit)
{
    const std::string text(100, 'y');
    auto item = console_item(text, 5);
    EXPECT_EQ(item.text, "\r\n" + text);
    EXPECT_EQ(item.column, 20);
    auto from_zero = console_item(text, 0);
    EXPECT_EQ(from_zero.text, text);
}

TEST(PrintFormatter, TabsExpandToEightColumnStopsOnTheConsoleOnly)
{
    EXPECT_EQ(console_item("\t", 3).text, std::string(5, ' '));
    EXPECT_EQ(console_item("ab\tc", 0).text, "ab      c");
    // Files keep their TABs.
    EXPECT_EQ(file_item("\t", 3, 80).text, "\t");
    // An item that will start a new line expands from column 0.
    const std::string wide = std::string(70, 'z') + "\t";
    EXPECT_EQ(console_item(wide, 20).text, "\r\n" + std::string(70, 'z') + std::string(2, ' '));
}

TEST(PrintFormatter, TabExpansionStopsBeyondTheLimit)
{
    // 100 TABs: the text may not grow beyond max(512, 2 x 100) bytes counting
    // the raw rest, so TAB 58 (0-based) is the first one left as it is:
    // 58 x 8 + 8 + 41 = 513 > 512.
    const std::string out = expand_tabs(std::string(100, '\t'), 0);
    EXPECT_EQ(out, std::string(58 * 8, ' ') + std::string(42, '\t'));
    // Short items are always expanded in full.
    EXPECT_EQ(expand_tabs("\t\t", 0), std::string(16, ' '));
}

}  // namespace
}  // namespace rt::console
