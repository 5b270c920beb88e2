#include <gtest/gtest.h>

#include "monitors/monitor_shared/change_log.h"
#include "monitors/monitor_shared/list_field_reader.h"
#include "monitors/monitor_shared/watch_page.h"

namespace monitor {
namespace {

TEST(ListFieldReader, SeparatorsQuotesBlanksAndEndOfText)
{
    ListFieldReader reader(std::string_view("A,B\r\nC\x1A"));
    EXPECT_EQ(reader.read_text().text, "A");
    EXPECT_EQ(reader.read_text().text, "B");
    EXPECT_FALSE(reader.at_end());
    EXPECT_EQ(reader.read_text().text, "C");
    EXPECT_TRUE(reader.at_end());
    EXPECT_EQ(reader.read_text().error, kErrorInputPastEnd);

    ListFieldReader quoted(std::string_view("  \"a,b:c\" , x y :z  \r\n"));
    EXPECT_EQ(quoted.read_text().text, "a,b:c");
    EXPECT_EQ(quoted.read_text().text, "x y");
    EXPECT_EQ(quoted.read_text().text, "z");
    EXPECT_TRUE(quoted.at_end());

    ListFieldReader junk(std::string_view("\"ab\"x,1"));
    EXPECT_EQ(junk.read_text().error, kErrorBadField);

    ListFieldReader nul(std::string_view("A\0B", 3));
    EXPECT_EQ(nul.read_text().text, "AB");

    ListFieldReader only_eof(std::string_view("\x1A"));
    EXPECT_TRUE(only_eof.at_end());
    ListFieldReader blank_then_eof(std::string_view("  \x1A"));
    EXPECT_FALSE(blank_then_eof.at_end());
    EXPECT_EQ(blank_then_eof.read_text().error, kErrorInputPastEnd);
}

TEST(WatchFile, OneEntryPositionsRequestAndStaticText)
{
    const auto result = load_watch_file("2,3,TEMP,80001,H\r\n");
    ASSERT_TRUE(result.loaded());
    ASSERT_EQ(result.page.entries.size(), 1u);
    const WatchEntry& entry = result.page.entries[0];
    EXPECT_EQ(entry.column, 2);
    EXPECT_EQ(entry.row, 3);
    EXPECT_EQ(entry.label, "TEMP");
    EXPECT_EQ(result.page.labelWidth, 4u);
    // Static text from column 2 + 4 + 1 = 7, the value from column 16.
    EXPECT_EQ(watch_static_text(entry), "8000.1.H ");
    EXPECT_EQ(static_text_place(entry, result.page).column, 7);
    EXPECT_EQ(value_place(entry).column, 16);
    EXPECT_EQ(value_place(entry).row, 3);
    EXPECT_EQ(entry.valueRow, 3);
    EXPECT_EQ(watch_request(entry), std::string("8000\x10"));
}

TEST(WatchFile, RequestsByCountDigitAndPortEntries)
{
    const auto result = load_watch_file("1,4,A,80004,H\r\n1,5,B,80000,H\r\n1,6,C,1234F,D\r\n1,7,D,I3f,D\r\n"
                                        "1,8,E,abcde,W\r\n");
    ASSERT_TRUE(result.loaded());
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
    const auto result = load_watch_file("1,3,\"X:Y\"\r\n80001,H\r\n 10 , 4 ,\x83\x41\x83\x42,80002,B\r\n");
    ASSERT_TRUE(result.loaded());
    ASSERT_EQ(result.page.entries.size(), 2u);
    EXPECT_EQ(result.page.entries[0].label, "X:Y");
    EXPECT_EQ(result.page.entries[0].format, "H");
    EXPECT_EQ(result.page.entries[1].column, 10);
    // Two double-byte characters are four cells wide.
    EXPECT_EQ(result.page.labelWidth, 4u);
    EXPECT_EQ(result.page.entries[1].valueColumn, 10 + 4 + kWatchStaticWidth);
}

TEST(WatchFile, PositionTextThatIsNotANumberIsZero)
{
    const auto result = load_watch_file("x,,L,80001,H");
    ASSERT_TRUE(result.loaded());
    EXPECT_EQ(result.page.entries[0].column, 0);
    EXPECT_EQ(result.page.entries[0].row, 0);
}

TEST(WatchFile, EmptyFileIsAnEmptyPage)
{
    for (std::string_view bytes : {std::string_view(""), std::string_view("\x1A")}) {
        const auto result = load_watch_file(bytes);
        ASSERT_TRUE(result.loaded());
        EXPECT_TRUE(result.page.entries.empty());
        EXPECT_EQ(result.page.labelWidth, 0u);
    }
}

TEST(WatchFile, FailsOnBrokenFiles)
{
    EXPECT_EQ(load_watch_file("1,2,L,8000").fault, WatchFileFault::MissingFields);
    // A blank line after the last entry starts an entry that never ends.
    EXPECT_EQ(load_watch_file("1,2,L,80001,H\r\n\r\n").fault, WatchFileFault::MissingFields);
    EXPECT_EQ(load_watch_file("40000,2,L,80001,H").fault, WatchFileFault::PositionOverflow);
    EXPECT_EQ(load_watch_file("1,-32769,L,80001,H").fault, WatchFileFault::PositionOverflow);
    EXPECT_EQ(load_watch_file("1,2,\"L\"x,80001,H").fault, WatchFileFault::BadField);
    const auto bad = load_watch_file("1,2,A,80001,H\r\n1,3,B,8000G,H\r\n");
    EXPECT_EQ(bad.fault, WatchFileFault::BadCount);
    EXPECT_EQ(bad.faultEntry, 1u);
    EXPECT_EQ(load_watch_file("1,2,A,,H").fault, WatchFileFault::BadCount);
}

TEST(WatchFile, FiftyOneEntriesLoadAndTheFiftySecondFails)
{
    std::string file;
    for (int i = 0; i < 51; ++i)
        file += "1," + std::to_string(2 + i % 17) + ",L,80001,H\r\n";
    EXPECT_EQ(load_watch_file(file).page.entries.size(), 51u);
    file += "1,2,L,80001,H\r\n";
    const auto result = load_watch_file(file);
    EXPECT_EQ(result.fault, WatchFileFault::TooManyEntries);
    EXPECT_EQ(result.faultEntry, 51u);
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
    EXPECT_EQ(r.baseName, "abc");
    EXPECT_TRUE(r.logging);
    EXPECT_FALSE(r.recreate);
    r = parse_log_request("abc/d");
    EXPECT_TRUE(r.logging && r.recreate);
    EXPECT_EQ(r.baseName, "abc");
    r = parse_log_request("abc");
    EXPECT_FALSE(r.logging);
    EXPECT_EQ(r.baseName, "abc");
    r = parse_log_request("VERYLONGNAME/F");
    EXPECT_EQ(r.baseName, "VERYLONG");
    EXPECT_EQ(log_file_name(r.baseName), "VERYLONG.DAS");
    EXPECT_EQ(watch_file_name(r.baseName), "VERYLONG.DAT");
    r = parse_log_request("/F");
    EXPECT_TRUE(r.baseName.empty());
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
