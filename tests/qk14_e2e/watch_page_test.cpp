// Watch pages from *.DAT files: layout, requests, every value format in both
// byte orders, double-byte labels, and the F10 file prompt.
#include "tests/qk14_e2e/qk14_e2e_fixture.h"
#include "tests/support/screen_series.h"

namespace qk14_e2e {
namespace {

using WatchPage = Qk14EndToEnd;

TEST_F(WatchPage, OneEntryShowsLabelStaticTextAndReply)
{
    directory_.write("QK.DEF", "CH=0\r\nF2=TEMP\r\n");
    directory_.write("TEMP.DAT", "2,3,TEMP,80001,H\r\n");
    start_simulator({"--fill", "8000=12"});
    HeadlessScript script = started();
    script.key("F2").until(3, "TEMP 8000.1.H 12").screen("temp.txt").await(kGoOn).close();
    // Refreshes show nothing new: the script ends once the board has had three.
    EXPECT_EQ(run_when(script, [&] { return log().count_received("38 30 30 30 10") >= 3; }), 0);

    const ScreenCapture temp = screen("temp.txt");
    EXPECT_EQ(temp.at(0, 3, 20), "  TEMP 8000.1.H 12  ") << temp.text();
    EXPECT_EQ(temp.at(14, 22, 13), "F2=TEMP      ");
    // The work area was cleared: no dump page any more.
    EXPECT_FALSE(temp.row_has(2, "ADRS")) << temp.text();
    EXPECT_FALSE(temp.row_has(3, "Mem Read"));
    const RequestLog requests = log();
    EXPECT_GE(requests.count_received("38 30 30 30 10"), 3) << requests.dump();
}

TEST_F(WatchPage, FormatsFollowTheByteOrder)
{
    directory_.write("FMT.DAT",
                     "2,3,HEX,80000,H\r\n"
                     "2,4,BITS,80001,B\r\n"
                     "2,5,DEC,80001,D\r\n"
                     "2,6,WORDQ,80022,Q\r\n"
                     "2,7,WORDW,80022,W\r\n"
                     "2,8,PORT,I3F,H\r\n"
                     "2,9,OTHER,80001,X\r\n");

    // Value columns: label width 5 (WORDQ), static text from 8, value from 17.
    struct Expected {
        const char* settings;
        const char* word_q;
        const char* word_w;
    };
    for (const Expected& order : {Expected{"CH=0\r\nF3=FMT\r\n", " 4660 d", " 1234 h"},
                                  Expected{"CH=0\r\nBL=1\r\nF3=FMT\r\n", "13330 d", " 3412 h"}}) {
        SCOPED_TRACE(order.settings);
        start_simulator({"--fill", "8000=A5003412"});
        directory_.write("QK.DEF", order.settings);
        // Captures spaced in time once PORT shows its value (all four kinds of
        // request were sent by then): a "Q" value is erased before it is printed.
        HeadlessScript script = started();
        script.command_done("O3F5A").key("F3").until(8, "I3F....H 5A");
        capture_series(script, "fmt", 3, 300).close();
        EXPECT_EQ(run(script), 0);
        const ScreenSeries fmt(directory_, "fmt");
        ASSERT_EQ(fmt.size(), 3U);
        auto expect_shown = [&](int row, const std::string& expected) {
            EXPECT_EQ(fmt.at(2, row, expected), expected) << fmt.last().text();
        };
        expect_shown(3, "HEX   8000.0.H A5003412" + std::string(24, '0') + "   ");
        expect_shown(4, "BITS  8000.1.B 10100101  ");
        expect_shown(5, "DEC   8000.1.D 165 d");
        expect_shown(6, std::string("WORDQ 8002.2.Q ") + order.word_q);
        expect_shown(7, std::string("WORDW 8002.2.W ") + order.word_w);
        expect_shown(8, "PORT  I3F....H 5A   ");
        expect_shown(9, "OTHER 8000.1.X      ");
        const RequestLog requests = log();
        for (const char* request : {"38 30 30 30 1F", "38 30 30 30 10", "38 30 30 32 11", "33 46 23"})
            EXPECT_GE(requests.count_received(request), 1) << request << "\n" << requests.dump();
    }
}

TEST_F(WatchPage, DoubleByteLabelCountsTwoColumnsPerCharacter)
{
    directory_.write("QK.DEF", "CH=0\r\nF4=JP\r\n");
    // 温度 (temperature) in Shift-JIS: two characters, four columns.
    directory_.write("JP.DAT", "2,3,\x89\xb7\x93\x78,80001,H\r\n2,4,T,80011,H\r\n");
    start_simulator({"--fill", "8000=4142"});
    HeadlessScript script = started();
    script.key("F4").until(4, "8001.1.H 42").screen("jp.txt").close();
    EXPECT_EQ(run(script), 0);
    const ScreenCapture jp = screen("jp.txt");
    EXPECT_EQ(jp.at(0, 3, 18), "  \x89\xb7\x93\x78 8000.1.H 41") << jp.text();
    EXPECT_EQ(jp.at(0, 4, 18), "  T    8001.1.H 42") << jp.text();
}

TEST_F(WatchPage, ChosenPageTakesEightBytesOfTheNameAndPromptsAgain)
{
    directory_.write("LONGNAME.DAT", "2,3,VALUE,80001,H\r\n");
    directory_.write("OTHER.DAT", "2,3,X,80001,H\r\n");
    start_simulator({"--fill", "8000=3C"});
    HeadlessScript script = started();
    script.key("F10").until(kPromptRow, kFilePrompt).screen("list.txt");
    script.text("LONGNAME123").key("Enter").until(3, "VALUE 8000.1.H 3C").screen("chosen.txt");
    script.key("F10").until(kPromptRow, kFilePrompt).screen("again.txt");
    script.key("Enter").until(3, "0000 00 ").screen("back.txt").close();
    EXPECT_EQ(run(script), 0);

    const ScreenCapture list = screen("list.txt");
    EXPECT_EQ(list.at(40, 3, 23), "RET Only   : To 256dump") << list.text();
    EXPECT_EQ(list.at(40, 4, 31), "FileName/F : Append File(*.DAS)");
    EXPECT_EQ(list.at(5, 6, 17), "File Name(*.DAT):");
    const std::string names = list.row(9);
    EXPECT_NE(names.find("LONGNAME"), std::string::npos) << list.text();
    EXPECT_NE(names.find("OTHER"), std::string::npos);
    EXPECT_EQ(names.find(".DAT"), std::string::npos);

    const ScreenCapture chosen = screen("chosen.txt");
    EXPECT_EQ(chosen.at(2, 3, 17), "VALUE 8000.1.H 3C") << chosen.text();
    EXPECT_EQ(chosen.at(40, 23, 13), "F10=LONGNAME ");

    // F10 in mode 10 opens the prompt again; an empty name returns to the dump page.
    EXPECT_EQ(screen("again.txt").at(5, 6, 17), "File Name(*.DAT):") << screen("again.txt").text();
    const ScreenCapture back = screen("back.txt");
    EXPECT_EQ(back.at(1, 2, 4), "ADRS") << back.text();
    EXPECT_EQ(back.at(40, 23, 13), "F10=         ");
}

TEST_F(WatchPage, ChosenNameWithoutAFilePromptsAgain)
{
    directory_.write("GOOD.DAT", "2,3,GOOD,80001,H\r\n");
    start_simulator({"--fill", "8000=99"});
    HeadlessScript script = started();
    // Asked again: the prompt drawn anew, without the typed name.
    script.key("F10").until(kPromptRow, kFilePrompt).text("NOPE").until(kPromptRow, "File Name(*.DAT):NOPE");
    script.key("Enter").until(kPromptRow, "File Name(*.DAT):$").screen("again.txt");
    script.text("GOOD").key("Enter").until(3, "GOOD 8000.1.H 99").screen("good.txt").close();
    EXPECT_EQ(run(script), 0);
    const ScreenCapture again = screen("again.txt");
    EXPECT_EQ(again.at(5, 6, 18), "File Name(*.DAT): ") << again.text();
    EXPECT_NE(again.row(9).find("GOOD"), std::string::npos) << again.text();
    EXPECT_EQ(again.at(40, 23, 13), "F10=         ");
    const ScreenCapture good = screen("good.txt");
    EXPECT_EQ(good.at(2, 3, 16), "GOOD 8000.1.H 99") << good.text();
    EXPECT_EQ(good.at(40, 23, 13), "F10=GOOD     ");
}

TEST_F(WatchPage, FiftyOneEntriesLoadAndFiftyTwoDoNot)
{
    std::string entries;
    for (int i = 0; i < 51; ++i)
        entries += "2," + std::to_string(3 + i % 16) + ",E" + std::to_string(i) + ",80001,H\r\n";
    directory_.write("FULL.DAT", entries);
    directory_.write("OVER.DAT", entries + "40,3,LAST,80001,H\r\n");
    directory_.write("QK.DEF", "CH=0\r\nF6=FULL\r\nF7=OVER\r\n");
    start_simulator({"--fill", "8000=77"});
    HeadlessScript script = started();
    script.key("F6").until(3, "E48 8000.1.H 77").screen("full.txt");
    script.key("F7").until(3, "0000 00 ").screen("over.txt").close();
    EXPECT_EQ(run(script), 0);
    const ScreenCapture full = screen("full.txt");
    EXPECT_EQ(full.at(2, 3, 16), "E48 8000.1.H 77 ") << full.text();  // the last entry written on row 3
    const ScreenCapture over = screen("over.txt");
    EXPECT_EQ(over.at(1, 2, 4), "ADRS") << over.text();
}

TEST_F(WatchPage, FieldsRunAcrossLinesAndBadNumbersFailTheLoad)
{
    directory_.write("QK.DEF", "CH=0\r\nF2=SPLIT\r\nF3=BIG\r\nF4=EMPTY\r\n");
    // An entry split over two lines, a quoted label with a colon and a comma,
    // and a column that is not a number (column 0).
    directory_.write("SPLIT.DAT", "2,3,A\r\n80001,H\r\n2,4,\"X:Y,Z\",80011,H\r\nfoo,5,C,80011,H\r\n");
    directory_.write("BIG.DAT", "2,40000,A,80001,H\r\n");  // row outside 16 bits
    directory_.write("EMPTY.DAT", "");
    start_simulator({"--fill", "8000=1234"});
    HeadlessScript script = started();
    script.key("F2").until(5, "8001.1.H 34").screen("split.txt");
    script.key("F3").until(3, "0000 00 ").screen("big.txt");
    // The empty page shows nothing to wait for: the test sees its work area
    // blank on the live screen, started while the dump page shows.
    script.live("live.txt").key("F4").await(kGoOn).screen("empty.txt").close();
    const auto work_area_blank = [&] {
        const ScreenCapture shown = live();
        bool blank = shown.row_has(21, "Command :");
        for (int row = 2; row <= 18; ++row)
            blank = blank && shown.at(0, row, 79) == std::string(79, ' ');
        return blank;
    };
    EXPECT_EQ(run_when(script, work_area_blank), 0);

    const ScreenCapture split = screen("split.txt");
    EXPECT_EQ(split.at(0, 3, 19), "  A     8000.1.H 12") << split.text();
    EXPECT_EQ(split.at(0, 4, 19), "  X:Y,Z 8001.1.H 34");
    EXPECT_EQ(split.at(0, 5, 17), "C     8001.1.H 34");
    EXPECT_EQ(screen("big.txt").at(1, 2, 4), "ADRS") << screen("big.txt").text();
    // A file without entries is an empty page: nothing drawn, nothing asked for.
    const ScreenCapture empty = screen("empty.txt");
    for (int row = 2; row <= 18; ++row)
        EXPECT_EQ(empty.at(0, row, 79), std::string(79, ' ')) << empty.text();
}

TEST_F(WatchPage, MissingFileReturnsToTheDumpPage)
{
    directory_.write("QK.DEF", "CH=0\r\nF5=NOFILE\r\n");
    start_simulator();
    HeadlessScript script = failing_watch_key("F5");
    script.screen("missing.txt").close();
    EXPECT_EQ(run(script), 0);
    const ScreenCapture missing = screen("missing.txt");
    EXPECT_EQ(missing.at(1, 2, 4), "ADRS") << missing.text();
    EXPECT_EQ(missing.at(1, 3, 4), "0000");
}

}  // namespace
}  // namespace qk14_e2e
