// QkP877W end to end: the real program on the headless front end, the real
// simulated PIC16F877 board on a pseudo-terminal, scripted keys in; screen
// rows and the request bytes the board received are checked.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/qkp877w_e2e/qkp877w_e2e_fixture.h"
#include "tests/support/scoped_locale.h"

namespace qkp877w_e2e {
namespace {

bool blank(const std::string& text) { return text.find_first_not_of(' ') == std::string::npos; }

// The text of `row` from `column`, `count` characters.
std::string at(const std::vector<std::string>& screen, int row, int column, int count)
{
    return screen[static_cast<std::size_t>(row)].substr(static_cast<std::size_t>(column), static_cast<std::size_t>(count));
}

int rows_containing(const std::vector<std::string>& screen, const std::string& text, int first = 2, int last = 18)
{
    int count = 0;
    for (int row = first; row <= last; ++row)
        count += screen[static_cast<std::size_t>(row)].find(text) != std::string::npos;
    return count;
}

TEST_F(QkP877WEndToEnd, FrameArrowsAndCommands)
{
    start_simulator({"--fill", "000=A55A"});
    const int exit_code = run({
        "until 3 0000 A5 5A", "until 0 :",  // the clock shows once its first second has passed
        "screen start.txt",
        // Each move waits until the page's last row shows the address it leads to.
        "key Down", "until 18 01F0", "screen down.txt",
        "key Down", "until 18 00F0", "screen down2.txt",
        "key Up", "until 18 01F0", "screen up.txt",
        "key PageDown", "key Backspace",  // typed, then removed: the page stays
        // A command is done when its line is on row 19 and the command row is empty again.
        "text O1234", "key Enter", "until 19 Command :O1234", "until 21 Command :$",
        "text O123456", "key Enter", "until 19 Command :O123456", "until 21 Command :$",
        "text O12", "key Enter", "until 19 Command :O12$", "until 21 Command :$",
        "text S10008", "key Enter", "until 19 Command :S10008", "until 21 Command :$",
        "text R12345", "key Enter", "until 19 Command :R12345", "until 21 Command :$",
        "text J12", "key Enter", "until 19 Command :J12", "until 21 Command :$",
        "screen jump.txt",
        "text r1234", "key Enter", "until 19 Command :r1234", "until 20 " + std::string(32, '0'), "until 21 Command :$",
        "screen read.txt",
        // An empty line is copied to row 19 first; the reply row is blanked just after.
        "key Enter", "until 19 Command :$", "until 20 Response:$",
        "screen empty.txt",
        "key Esc", "text R0100", "key Enter", "until 19 R0100", "until 21 Command :$",
        "key F12", "wait 300",  // time for an effect that must not come
        "screen esc.txt",
        "close",
    });
    ASSERT_EQ(exit_code, 0);

    const auto start = rows("start.txt");
    EXPECT_EQ(start[0].find("QkP877W"), 1u) << "the banner starts at column 1";
    EXPECT_NE(start[0].find("PIC16F877"), std::string::npos);
    EXPECT_TRUE(blank(at(start, 0, 40, 31))) << "the banner ends well before the clock";
    EXPECT_EQ(start[0][73], ':');
    EXPECT_EQ(start[1], "   Channel=COM0" + std::string(65, ' ')) << "no bit digit, no byte order";
    EXPECT_EQ(at(start, 2, 60, 17), "***  Command  ***");
    EXPECT_EQ(at(start, 3, 60, 10), "R:MEM-Read");
    EXPECT_EQ(at(start, 4, 60, 11), "W:MEM-Write");
    EXPECT_TRUE(blank(at(start, 5, 55, 25)));
    EXPECT_EQ(at(start, 3, 1, 10), "0000 A5 5A");
    EXPECT_EQ(at(start, 23, 53, 4), "F11=");
    EXPECT_TRUE(blank(at(start, 23, 66, 14))) << "no F12 cell";

    EXPECT_EQ(at(rows("down.txt"), 3, 1, 4), "0100");
    EXPECT_EQ(at(rows("down.txt"), 18, 1, 4), "01F0");
    EXPECT_EQ(at(rows("down2.txt"), 3, 1, 4), "0000");
    EXPECT_EQ(at(rows("up.txt"), 3, 1, 4), "0100");

    // R reads 16 bytes (the board wraps 1234 into its memory); the reply shows on row 20, row 19 keeps the line.
    const auto read = rows("read.txt");
    EXPECT_EQ(at(read, 20, 3, 9), "Response:");
    EXPECT_EQ(at(read, 20, 12, 32), std::string(32, '0'));
    EXPECT_EQ(at(read, 19, 3, 15), "Command :r1234 ");
    EXPECT_TRUE(blank(at(read, 21, 12, 60)));

    // J sends nothing; the reply wait ends in a time-out that leaves row 20 blank.
    const auto jump = rows("jump.txt");
    EXPECT_TRUE(blank(at(jump, 20, 12, 60)));
    EXPECT_TRUE(blank(at(jump, 21, 12, 60)));
    EXPECT_EQ(at(jump, 19, 3, 13), "Command :J12 ");
    EXPECT_EQ(at(jump, 3, 1, 4), "0100") << "J does not move the page";

    const auto empty = rows("empty.txt");
    EXPECT_TRUE(blank(at(empty, 20, 12, 60)));
    EXPECT_TRUE(blank(at(empty, 19, 12, 60)));

    // Esc is typed into the line (the line is refused); F12 does nothing.
    const auto esc = rows("esc.txt");
    EXPECT_TRUE(blank(at(esc, 20, 12, 60)));
    EXPECT_EQ(at(esc, 3, 1, 4), "0100");

    // The board does not answer port commands: each such wait is a fault, so a
    // 2-byte resynchronising read (at the last row read that was answered)
    // goes out before the next request.
    const std::vector<std::string> expected{"1234<22>", "0100<11>", "123456<22>", "0110<11>",
                                            "10008<21>", "0130<11>", "1234<1F>"};
    EXPECT_EQ(command_requests(), expected);
}

TEST_F(QkP877WEndToEnd, SettingsTakeOnlyTheChannelAndTheFunctionKeyNames)
{
    // Channel 1 is the system's second port; BT=, BL= and AD= are not QkP877W's keys.
    directory_.write("QK.DEF", "CH=1\r\nBT=7\r\nBL=1\r\nAD=0100\r\nF2=WORD\r\n");
    directory_.write("WORD.DAT", "2,4,WORD,00002,Q\r\n");
    start_simulator({"--fill", "000=3412"});
    system_port_ = "COM2";
    const int exit_code =
        run({"until 3 0000 34 12", "screen start.txt", "key F2", "until 4 4660", "screen word.txt", "close"});
    ASSERT_EQ(exit_code, 0);
    const auto start = rows("start.txt");
    EXPECT_EQ(start[1], "   Channel=COM1" + std::string(65, ' '));
    EXPECT_EQ(at(start, 3, 1, 10), "0000 34 12") << "AD= ignored; 8-bit replies arrive";
    EXPECT_EQ(at(start, 22, 14, 7), "F2=WORD");
    // Byte order fixed: the first byte is the low one whatever BL= says.
    const auto word = rows("word.txt");
    EXPECT_EQ(at(word, 4, 2, 4), "WORD");
    EXPECT_EQ(at(word, 4, 15, 8), "  4660 d") << "six positions from the value column";
}

TEST_F(QkP877WEndToEnd, WatchPagesChangeListAndFailedEntries)
{
    const qk_test::ScopedLocale english("C.UTF-8");  // the failures are said in English
    directory_.write("Q.DAT", "2,4,WORD,00202,Q\r\n2,5,HEXW,00202,W\r\n");
    directory_.write("S.DAT", "2,18,LAST,00202,W\r\n");
    directory_.write("BAD.DAT", "2,30,OFF,00201,H\r\n");
    start_simulator({"--fill", "020=3412"});
    const int exit_code = run({
        "until 5 0020 34 12",  // rows are read in the main loop, which takes the keys
        "key F10", "until 3 File Name(*.DAT):", "screen list.txt",
        // The "Q" value is erased before it is printed: both shown, then the capture.
        "text Q", "key Enter", "until 5  1234 h", "until 4 4660 d", "screen q.txt",
        "key F10", "until 3 File Name(*.DAT):", "screen again.txt",
        "text S", "key Enter", "until 15  1234 h", "screen s.txt",
        // A refused name is done when the dump loop reads rows again.
        "key F10", "until 3 File Name(*.DAT):", "text NOFILE", "key Enter", "until 3 0000 00 00", "screen missing.txt",
        "key F10", "until 3 File Name(*.DAT):", "text BAD", "key Enter", "until 3 0000 00 00", "screen bad.txt",
        "key F11", "until 3 File Name(*.DAT):", "text Q", "key Enter", "until 16 WORD",
        "key F11", "wait 800", "screen changes.txt",  // time for a restart that must not come
        "key F1", "until 3 0000 00 00", "key F11", "until 3 File Name(*.DAT):", "text Q", "key Enter", "until 23 F11=Q",
        "wait 800",  // time for a change line that must not come
        "screen revisit.txt",
        "close",
    });
    ASSERT_EQ(exit_code, 0);

    // The file list from row 7, the prompt at (5, 3), no hints.
    const auto list = rows("list.txt");
    EXPECT_EQ(at(list, 3, 5, 17), "File Name(*.DAT):");
    EXPECT_EQ(rows_containing(list, "RET Only"), 0);
    std::string names = list[7];
    EXPECT_NE(names.find(" Q "), std::string::npos);
    EXPECT_NE(names.find(" S "), std::string::npos);

    // "Q" six positions wide from the value column (2 + 4 + 9), "W" little-endian.
    const auto q = rows("q.txt");
    EXPECT_EQ(at(q, 4, 2, 14), "WORD 0020.2.Q ");
    EXPECT_EQ(at(q, 4, 15, 8), "  4660 d");
    EXPECT_EQ(at(q, 5, 16, 7), " 1234 h");
    EXPECT_EQ(at(q, 23, 40, 5), "F10=Q");

    // F10 while its page is shown opens the list and prompt again.
    EXPECT_EQ(at(rows("again.txt"), 3, 5, 17), "File Name(*.DAT):");

    // A "W" value on row 18 ends its line there: the work area scrolls at
    // every refresh, so the label has moved up and the values pile up above.
    const auto s = rows("s.txt");
    EXPECT_EQ(s[18].find("LAST"), std::string::npos);
    EXPECT_TRUE(blank(s[18]));
    EXPECT_GE(rows_containing(s, " 1234 h"), 3);

    // A missing file: the dump page again, row 23 columns 4-23 blanked, no second prompt.
    const auto missing = rows("missing.txt");
    EXPECT_EQ(at(missing, 2, 1, 4), "ADRS");
    EXPECT_TRUE(blank(at(missing, 23, 4, 20)));
    EXPECT_EQ(at(missing, 23, 1, 3), "F7=");
    EXPECT_EQ(at(missing, 23, 27, 3), "F9=");
    EXPECT_EQ(rows_containing(missing, "File Name"), 0);
    EXPECT_EQ(at(missing, 20, 3, 30), "Response:NOFILE.DAT: not found") << missing[20];

    // A file whose label lies below the screen is refused the same way, and the program goes on.
    const auto bad = rows("bad.txt");
    EXPECT_EQ(at(bad, 2, 1, 4), "ADRS");
    EXPECT_TRUE(blank(at(bad, 23, 4, 20)));
    EXPECT_EQ(at(bad, 20, 12, 60), "BAD.DAT line 1: row 30 is outside the work area (rows 2-18) ") << bad[20];

    // F11 on an unchanging value: one line; F11 again does not restart the list.
    const auto changes = rows("changes.txt");
    EXPECT_EQ(rows_containing(changes, "WORD"), 1);
    EXPECT_EQ(rows_containing(changes, "File Name"), 0);
    const int row = static_cast<int>(std::find_if(changes.begin(), changes.end(),
                                                  [](const std::string& r) { return r.find("WORD") != std::string::npos; }) -
                                     changes.begin());
    EXPECT_EQ(at(changes, row, 1, 5), "    1");
    EXPECT_NE(changes[static_cast<std::size_t>(row)].find(" WORD   4660 d"), std::string::npos);

    // Back with F1 and F11 again: the last value seen is kept, so no new line.
    const auto revisit = rows("revisit.txt");
    EXPECT_EQ(rows_containing(revisit, "WORD"), 0);
    EXPECT_EQ(at(revisit, 23, 53, 5), "F11=Q");
}

TEST_F(QkP877WEndToEnd, ChangeListOfAChangingValue)
{
    // "W" ends its value with a line end, so its changes stand a row apart;
    // "H" changes follow each other on consecutive rows.
    directory_.write("W.DAT", "2,4,CNTW,00202,W\r\n");
    directory_.write("H.DAT", "2,4,CNTH,00201,H\r\n");
    start_simulator({"--change", "020:1:250"});
    const int exit_code = run({
        "until 3 0000 00",  // rows are read in the main loop, which takes the keys
        // Three changes listed (the newest at the bottom) before each screen.
        "key F11", "until 3 File Name(*.DAT):", "text W", "key Enter", "until 11 CNTW", "until 15 CNTW", "screen w.txt",
        "key F11",  // dropped: the list goes on
        "key F1", "until 3 0000 00",  // F11 is taken again once the dump loop runs
        "key F11", "until 3 File Name(*.DAT):", "text H", "key Enter", "until 14 CNTH", "until 16 CNTH", "screen h.txt",
        "close",
    });
    ASSERT_EQ(exit_code, 0);

    auto change_rows = [](const std::vector<std::string>& screen, const std::string& label) {
        std::vector<int> rows;
        for (int row = 2; row <= 18; ++row)
            if (screen[static_cast<std::size_t>(row)].find(label) != std::string::npos)
                rows.push_back(row);
        return rows;
    };
    const auto w = rows("w.txt");
    const std::vector<int> w_rows = change_rows(w, "CNTW");
    ASSERT_GE(w_rows.size(), 3u) << w[16];
    for (std::size_t i = 1; i < w_rows.size(); ++i)
        EXPECT_EQ(w_rows[i] - w_rows[i - 1], 2);
    // Numbered from 1 in five positions, the newest at the bottom.
    EXPECT_EQ(at(w, w_rows.front(), 1, 5), "    1");
    EXPECT_EQ(at(w, w_rows.back(), 1, 5), "    " + std::to_string(w_rows.size()));
    EXPECT_NE(w[static_cast<std::size_t>(w_rows.back())].find(" CNTW  "), std::string::npos);
    EXPECT_EQ(w_rows.back(), 15);

    const auto h = rows("h.txt");
    const std::vector<int> h_rows = change_rows(h, "CNTH");
    ASSERT_GE(h_rows.size(), 3u);
    for (std::size_t i = 1; i < h_rows.size(); ++i)
        EXPECT_EQ(h_rows[i] - h_rows[i - 1], 1);
    EXPECT_EQ(h_rows.back(), 16);
    EXPECT_EQ(rows_containing(h, "CNTW"), 0) << "F11 cleared the work area";
}

}  // namespace
}  // namespace qkp877w_e2e
