#include <gtest/gtest.h>

#include "monitors/monitor_shared/change_log.h"
#include "monitors/monitor_shared/text_item_reader.h"
#include "monitors/monitor_shared/watch_page.h"
#include "tests/monitor_logic/file_reading.h"

namespace monitor {
namespace {

using testing::read_watch_bytes;

// Runtime errors a watch file load ends with (then the load-failure path).
constexpr std::uint16_t kIllegalArgument = 5;
constexpr std::uint16_t kOverflow = 6;
constexpr std::uint16_t kSubscriptOutOfRange = 9;
constexpr std::uint16_t kInputPastEnd = 54;

TEST(TextItemReader, SeparatorsQuotesBlanksAndEndOfText)
{
    TextItemReader reader(std::string_view("A,B\r\nC\x1A"));
    EXPECT_EQ(reader.read_text().text, "A");
    EXPECT_EQ(reader.read_text().text, "B");
    EXPECT_FALSE(reader.at_end());
    EXPECT_EQ(reader.read_text().text, "C");
    EXPECT_TRUE(reader.at_end());
    EXPECT_EQ(reader.read_text().error, kInputPastEnd);

    TextItemReader quoted(std::string_view("  \"a,b:c\" , x y :z  \r\n"));
    EXPECT_EQ(quoted.read_text().text, "a,b:c");
    EXPECT_EQ(quoted.read_text().text, "x y");
    EXPECT_EQ(quoted.read_text().text, "z");
    EXPECT_TRUE(quoted.at_end());

    // After a closing quote the next character ends the item and is dropped.
    TextItemReader junk(std::string_view("\"ab\"x,1"));
    EXPECT_EQ(junk.read_text().text, "ab");
    EXPECT_EQ(junk.read_text().text, "");
    EXPECT_EQ(junk.read_text().text, "1");

    TextItemReader nul(std::string_view("A\0B", 3));
    EXPECT_EQ(nul.read_text().text, "AB");

    TextItemReader only_eof(std::string_view("\x1A"));
    EXPECT_TRUE(only_eof.at_end());
    TextItemReader blank_then_eof(std::string_view("  \x1A"));
    EXPECT_FALSE(blank_then_eof.at_end());
    EXPECT_EQ(blank_then_eof.read_text().error, kInputPastEnd);
}

TEST(WatchFile, OneEntryPositionsRequestAndStaticText)
{
    const auto result = read_watch_bytes("2,3,TEMP,80001,H\r\n");
    ASSERT_EQ(result.error, 0);
    ASSERT_EQ(result.page.entries.size(), 1u);
    const WatchEntry& entry = result.page.entries[0];
    EXPECT_EQ(entry.column, 2);
    EXPECT_EQ(entry.row, 3);
    EXPECT_EQ(entry.label, "TEMP");
    EXPECT_EQ(result.page.label_width, 4u);
    // Static text from column 2 + 4 + 1 = 7, the value from column 16.
    EXPECT_EQ(watch_static_text(entry), "8000.1.H ");
    EXPECT_EQ(static_text_place(entry, result.page).column, 7);
    EXPECT_EQ(value_place(entry).column, 16);
    EXPECT_EQ(value_place(entry).row, 3);
    EXPECT_EQ(entry.value_row, 3);
    EXPECT_EQ(watch_request(entry), std::string("8000\x10"));
}

TEST(WatchFile, RequestsByCountDigitAndPortEntries)
{
    const auto result = read_watch_bytes("1,4,A,80004,H\r\n1,5,B,80000,H\r\n1,6,C,1234F,D\r\n1,7,D,I3f,D\r\n"
                                        "1,8,E,abcde,W\r\n");
    ASSERT_EQ(result.error, 0);
    const auto& e = result.page.entries;
    EXPECT_EQ(watch_request(e[0]), std::string("8000\x13"));
    EXPECT_EQ(watch_request(e[1]), std::string("8000\x1F"));
    EXPECT_EQ(watch_request(e[2]), std::string("1234\x1E"));
    EXPECT_EQ(watch_request(e[3]), std::string("3f\x23"));  // sent as written
    EXPECT_EQ(watch_request(e[4]), std::string("abcd\x1D"));
    EXPECT_EQ(watch_static_text(e[3]), "I3f....D ");
    EXPECT_EQ(watch_static_text(e[1]), "8000.0.H ");
}

TEST(WatchFile, FieldsRunAcrossLineEndsAndLabelsAlignToTheWidest)
{
    // The first line has three fields; the entry takes two from the next line.
    const auto result = read_watch_bytes("1,3,\"X:Y\"\r\n80001,H\r\n 10 , 4 ,\x83\x41\x83\x42,80002,B\r\n");
    ASSERT_EQ(result.error, 0);
    ASSERT_EQ(result.page.entries.size(), 2u);
    EXPECT_EQ(result.page.entries[0].label, "X:Y");
    EXPECT_EQ(result.page.entries[0].format, "H");
    EXPECT_EQ(result.page.entries[1].column, 10);
    // Two double-byte characters are four cells wide.
    EXPECT_EQ(result.page.label_width, 4u);
    EXPECT_EQ(result.page.entries[1].value_column, 10 + 4 + kWatchStaticWidth);
}

TEST(WatchFile, PositionTextThatIsNotANumberIsZero)
{
    const WatchEntry entry = make_watch_entry({"x", "", "L", "80001", "H"});
    EXPECT_EQ(entry.column, 0);
    EXPECT_EQ(entry.row, 0);
}

TEST(WatchFile, EmptyFileIsAnEmptyPage)
{
    for (std::string_view bytes : {std::string_view(""), std::string_view("\x1A")}) {
        const auto result = read_watch_bytes(bytes);
        ASSERT_EQ(result.error, 0);
        EXPECT_TRUE(result.page.entries.empty());
        EXPECT_EQ(result.page.label_width, 0u);
    }
}

TEST(WatchFile, FailsOnBrokenFiles)
{
    EXPECT_EQ(read_watch_bytes("1,2,L,8000").error, kInputPastEnd);
    // A blank line after the last entry starts an entry that never ends.
    EXPECT_EQ(read_watch_bytes("1,2,L,80001,H\r\n\r\n").error, kInputPastEnd);
    EXPECT_EQ(read_watch_bytes("40000,2,L,80001,H").error, kOverflow);
    EXPECT_EQ(read_watch_bytes("1,-32769,L,80001,H").error, kOverflow);
    // The character after a closing quote ends the label, so the comma after
    // it gives an empty address field.
    EXPECT_EQ(read_watch_bytes("1,2,\"L\"x,80001,H").error, kIllegalArgument);
    const auto bad = read_watch_bytes("1,2,A,80001,H\r\n1,3,B,8000G,H\r\n");
    EXPECT_EQ(bad.error, kIllegalArgument);
    EXPECT_EQ(bad.failed_entry, 1u);
    EXPECT_EQ(read_watch_bytes("1,2,A,,H").error, kIllegalArgument);
}

TEST(WatchFile, WhatReachesPastTheScreenIsCutAndWhatCannotBePlacedIsRefused)
{
    // A value past the last column is not shown (its place stays on the
    // screen); the label and static text are cut when drawn.
    const auto long_label = read_watch_bytes("60,2,LONGLABEL1,80001,H\r\n1,3,A,80011,H");
    ASSERT_EQ(long_label.error, 0);
    EXPECT_FALSE(value_on_screen(long_label.page.entries[0]));
    EXPECT_EQ(value_place(long_label.page.entries[0]).column, 79);
    EXPECT_TRUE(value_on_screen(long_label.page.entries[1]));
    EXPECT_EQ(read_watch_bytes("79,18,ABCD,80001,H").error, 0);
    // Labels go in the work area, rows 2-18, and on the screen's columns.
    for (const char* file : {"80,5,L,80001,H", "-1,5,L,80001,H", "1,1,L,80001,H", "1,19,L,80001,H", "1,-1,L,80001,H"}) {
        const auto refused = read_watch_bytes(file);
        EXPECT_EQ(refused.error, kIllegalArgument) << file;
        EXPECT_TRUE(refused.page.entries.empty()) << file;
    }
    // An address field longer than any address (4 digits and a count, or I and 2 digits).
    const auto long_field = read_watch_bytes("1,2,A,80001,H\r\n1,3,B," + std::string(4000, 'F') + ",H\r\n");
    EXPECT_EQ(long_field.error, kIllegalArgument);
    EXPECT_EQ(long_field.failed_entry, 1u);
    EXPECT_EQ(read_watch_bytes("1,2,P,I0012,H").error, kIllegalArgument);
}

TEST(WatchFile, FiftyOneEntriesLoadAndTheFiftySecondFails)
{
    std::string file;
    for (int i = 0; i < 51; ++i)
        file += "1," + std::to_string(2 + i % 17) + ",L,80001,H\r\n";
    EXPECT_EQ(read_watch_bytes(file).page.entries.size(), 51u);
    file += "1,2,L,80001,H\r\n";
    const auto result = read_watch_bytes(file);
    EXPECT_EQ(result.error, kSubscriptOutOfRange);
    EXPECT_EQ(result.failed_entry, 51u);
}

TEST(TypedNames, CutToEightBytesWithoutSplittingACharacter)
{
    EXPECT_EQ(typed_file_base("LONGNAME9"), "LONGNAME");
    EXPECT_EQ(typed_file_base("abc"), "abc");
    // Seven single bytes and a double-byte character: the character would
    // straddle the cut, so it goes.
    EXPECT_EQ(typed_file_base("ABCDEFG\x83\x41"), "ABCDEFG");
    EXPECT_EQ(typed_file_base("\x83\x41\x83\x42\x83\x43\x83\x44\x83\x45"), "\x83\x41\x83\x42\x83\x43\x83\x44");
}

TEST(LogRequest, SuffixesChooseAppendOrRecreate)
{
    auto r = parse_log_request("abc/F");
    EXPECT_EQ(r.base_name, "abc");
    EXPECT_TRUE(r.logging);
    EXPECT_FALSE(r.recreate);
    r = parse_log_request("abc/d");
    EXPECT_TRUE(r.logging && r.recreate);
    EXPECT_EQ(r.base_name, "abc");
    r = parse_log_request("abc");
    EXPECT_FALSE(r.logging);
    EXPECT_EQ(r.base_name, "abc");
    r = parse_log_request("VERYLONGNAME/F");
    EXPECT_EQ(r.base_name, "VERYLONG");
    EXPECT_EQ(log_file_name(r.base_name), "VERYLONG.DAS");
    EXPECT_EQ(watch_file_name(r.base_name), "VERYLONG.DAT");
    r = parse_log_request("/F");
    EXPECT_TRUE(r.base_name.empty());
    EXPECT_TRUE(r.logging);
    EXPECT_FALSE(parse_log_request("abc/X").logging);
}

TEST(ChangeLog, LineWritesTheLastFourDigits)
{
    EXPECT_EQ(change_log_line(1, "26/12/07", "06:10:00", "00FF"), "0001,26/12/07,06:10:00,00FF");
    EXPECT_EQ(change_log_line(10000, "26/12/07", "06:10:00", "A5"), "0000,26/12/07,06:10:00,A5");
    EXPECT_EQ(change_log_line(32768, "d", "t", "1"), "2768,d,t,1");
    EXPECT_EQ(change_number_text(7, 4), "   7");
    EXPECT_EQ(change_number_text(10000, 4), "% 10000");
    EXPECT_EQ(change_number_text(10000, 5), "10000");
}

TEST(ChangeLog, OnlyADifferentValueCountsAndTheFirstReadingAlwaysDoes)
{
    std::string last;
    ChangeCounter counter;
    EXPECT_EQ(note_change(last, counter, "12"), 1u);
    EXPECT_EQ(note_change(last, counter, "12"), std::nullopt);
    EXPECT_EQ(note_change(last, counter, "13"), 2u);
    EXPECT_EQ(last, "13");
    EXPECT_EQ(change_row_text(2, 4, "26/12/07", "06:10:00", "TEMP", "13"), "   2 26/12/07 06:10:00 TEMP 13");
}

TEST(ChangeLog, CounterKeepsCountingPast32767AndWrapsAtItsTop)
{
    ChangeCounter counter;
    for (int i = 0; i < 32768; ++i)
        counter.next();
    EXPECT_EQ(counter.value(), 32768u);
    EXPECT_EQ(counter.next(), 32769u);
    counter.reset();
    EXPECT_EQ(counter.next(), 1u);
}

}  // namespace
}  // namespace monitor
