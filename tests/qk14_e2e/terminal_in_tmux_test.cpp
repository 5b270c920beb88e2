// qk14 on the terminal front end in tmux: the dump page with its two
// separator lines drawn as line-drawing characters, and typed commands; a
// resized terminal; a terminal whose character set is not UTF-8.
#include <algorithm>

#include "tests/qk14_e2e/qk14_e2e_fixture.h"
#include "tests/qk14_e2e/tmux_session.h"

namespace qk14_e2e {
namespace {

using TerminalInTmux = Qk14EndToEnd;

// The shell command that runs qk14 on the terminal front end in the test's
// folder, against its simulator; `prefix` comes before the program (an
// environment, a wrapper).
std::string qk14_in_terminal(const ScratchDirectory& directory, const std::string& prefix = "")
{
    return "cd " + shell_quoted(directory.path().string()) + " && XDG_CONFIG_HOME=config TERM=tmux-256color " +
           prefix + shell_quoted(QK14_PATH) + " --ui tty --port COM1=" + shell_quoted((directory / "tty").string()) +
           "; echo qk14-exit=$?; sleep 60";
}

bool row_shows(const TmuxSession& tmux, std::size_t row, const std::string& text)
{
    return tmux.wait_for(
        [&] {
            const auto rows = tmux.rows();
            return rows.size() > row && rows[row].find(text) != std::string::npos;
        },
        30s);
}

TEST_F(TerminalInTmux, DumpPageWithSeparatorLinesAndACommand)
{
    if (!TmuxSession::available())
        GTEST_SKIP() << "tmux is not installed";
    start_simulator({"--fill", "0070=0102030405060708090A0B0C0D0E0F10", "--fill", "8000=BEEF"});
    const TmuxSession tmux("qk14_e2e_" + std::to_string(::getpid()), qk14_in_terminal(directory_));

    // Row 10 holds the dump row 0070 and the horizontal line at y=197.
    const bool filled = tmux.wait_for(
        [&] {
            const auto rows = tmux.rows();
            return rows.size() > 10 && rows[10].find("0070 01") != std::string::npos;
        },
        30s);
    const std::vector<std::string> rows = tmux.rows();
    ASSERT_TRUE(filled) << tmux.capture();
    EXPECT_EQ(rows[2].rfind(" ADRS +0 +1 +2 +3 +4 +5 +6 +7 +8 +9 +A +B +C +D +E +F  ***  Command  ***", 0), 0U)
        << rows[2];
    // Blank cells over the lines: "─" between the byte pairs of row 10, "┼"
    // where the vertical line crosses it, "│" between bytes +7 and +8 elsewhere.
    EXPECT_EQ(rows[10].rfind(" 0070 01─02─03─04─05─06─07─08┼09─0A─0B─0C─0D─0E─0F─10 ", 0), 0U) << rows[10];
    for (int row = 3; row <= 18; ++row) {
        if (row == 10)
            continue;
        const std::string& text = rows[static_cast<std::size_t>(row)];
        EXPECT_EQ(text.find("│"), 29U) << "row " << row << ": " << text;
    }
    // The help block's arrows are double-byte characters, drawn one cell wide and padded to two.
    EXPECT_NE(rows[14].find("↑       : -256"), std::string::npos) << rows[14];

    tmux.send_keys("R8000 Enter");
    EXPECT_TRUE(tmux.wait_for([&] { return tmux.rows().size() > 20 && tmux.rows()[20].find("Response:BEEF0000") != std::string::npos; },
                              30s))
        << tmux.capture();
    EXPECT_EQ(log().received_except_rows_of(), std::vector<std::string>{"38 30 30 30 1F"});
}

// Where the desktop keeps F10 and F11, Alt+0 and Alt+- (Esc and the key at
// once) open their prompts; a lone Esc still restarts the program.
TEST_F(TerminalInTmux, AltDigitsAreFunctionKeysAndALoneEscRestarts)
{
    if (!TmuxSession::available())
        GTEST_SKIP() << "tmux is not installed";
    start_simulator({"--fill", "0000=A1", "--fill", "8000=B2"});
    const TmuxSession tmux("qk14_alt_" + std::to_string(::getpid()), qk14_in_terminal(directory_));
    ASSERT_TRUE(row_shows(tmux, 3, "0000 A1")) << tmux.capture();

    tmux.send_keys("M-0");
    EXPECT_TRUE(row_shows(tmux, 6, "File Name(*.DAT):")) << tmux.capture();
    EXPECT_EQ(tmux.rows().at(5).find("FileName/D"), std::string::npos) << "F10's prompt, not F11's: " << tmux.capture();
    tmux.send_keys("Enter");
    ASSERT_TRUE(row_shows(tmux, 3, "0000 A1")) << tmux.capture();

    tmux.send_keys("M--");
    EXPECT_TRUE(row_shows(tmux, 5, "FileName/D : Delete & Create File(*.DAS)")) << tmux.capture();
    EXPECT_TRUE(row_shows(tmux, 6, "File Name(*.DAT):")) << tmux.capture();
    tmux.send_keys("Enter");
    ASSERT_TRUE(row_shows(tmux, 3, "0000 A1")) << tmux.capture();

    // The restart reads QK.DEF again: the dump page then starts at 8000.
    directory_.write("QK.DEF", "AD=8000\r\n");
    tmux.send_keys("Escape");
    EXPECT_TRUE(row_shows(tmux, 3, "8000 B2")) << tmux.capture();
}

// A resize repaints every cell. What a terminal keeps or moves on resizing
// (a reflowing terminal wraps the separator lines into the rows below) is
// unknown to the program; here stray line glyphs are written to the pane's
// terminal behind the program's back, then the terminal is resized and
// resized back: the message rows and the legend show no line afterwards.
TEST_F(TerminalInTmux, ResizedTerminalIsDrawnAnewCellByCell)
{
    if (!TmuxSession::available())
        GTEST_SKIP() << "tmux is not installed";
    start_simulator({"--fill", "0070=0102030405060708090A0B0C0D0E0F10"});
    const TmuxSession tmux("qk14_resize_" + std::to_string(::getpid()), qk14_in_terminal(directory_));
    // The whole page read once: no row is waiting to be drawn.
    ASSERT_TRUE(row_shows(tmux, 18, "00F0 00")) << tmux.capture();
    std::string pane_terminal = command_output("tmux -L qk14_resize_" + std::to_string(::getpid()) +
                                             " display-message -p -t qk '#{pane_tty}'");
    while (!pane_terminal.empty() && pane_terminal.back() == '\n')
        pane_terminal.pop_back();
    ASSERT_FALSE(pane_terminal.empty());
    // Save the cursor, write "│" on rows 20 and 22 (from 0), restore the cursor.
    command_output("printf '\\0337\\033[21;60H│\\033[23;70H│\\0338' > " + shell_quoted(pane_terminal));
    ASSERT_TRUE(row_shows(tmux, 20, "│")) << tmux.capture();

    // tmux keeps the rows that stay: the glyphs survive the resizes.
    tmux.tmux_command("resize-window -t qk -x 80 -y 23");
    ASSERT_TRUE(row_shows(tmux, 22, "smaller than 80x24")) << tmux.capture();
    tmux.tmux_command("resize-window -t qk -x 80 -y 25");
    const auto no_line_below_the_page = [&] {
        const std::vector<std::string> rows = tmux.rows();
        if (rows.size() < 24 || rows[22].find("F1=") == std::string::npos)
            return false;
        for (std::size_t row = 19; row < rows.size(); ++row) {
            if (rows[row].find("│") != std::string::npos)
                return false;
        }
        return true;
    };
    EXPECT_TRUE(tmux.wait_for(no_line_below_the_page, 15s)) << tmux.capture();
    const std::vector<std::string> rows = tmux.rows();
    ASSERT_GE(rows.size(), 19U);
    for (std::size_t row = 3; row <= 18; ++row) {
        if (row != 10)
            EXPECT_EQ(rows[row].find("│"), 29U) << "row " << row << ":\n" << tmux.capture();
    }
}

// Under LANG=C the program writes only what an ASCII terminal takes: the
// separator lines through the terminal's alternate characters (shift-out
// and the set's letters, shown as lines), "?" for the help block's arrows.
// `script` records the bytes the terminal got.
TEST_F(TerminalInTmux, NonUnicodeTerminalGetsItsOwnCharacterSet)
{
    if (!TmuxSession::available())
        GTEST_SKIP() << "tmux is not installed";
    start_simulator({"--fill", "0070=0102030405060708090A0B0C0D0E0F10"});
    const std::string recorded = (directory_ / "terminal-bytes.log").string();
    const std::string program = "cd " + shell_quoted(directory_.path().string()) +
                                " && LANG=C LC_ALL=C XDG_CONFIG_HOME=config TERM=tmux-256color timeout --foreground 120 script -q -f -c " +
                                shell_quoted(shell_quoted(QK14_PATH) + " --ui tty --port COM1=" +
                                             shell_quoted((directory_ / "tty").string())) +
                                " " + shell_quoted(recorded) + "; echo qk14-exit=$?; sleep 60";
    const TmuxSession tmux("qk14_ascii_" + std::to_string(::getpid()), program);
    ASSERT_TRUE(row_shows(tmux, 10, "0070 01")) << tmux.capture();
    ASSERT_TRUE(row_shows(tmux, 14, "?       : -256")) << tmux.capture();
    const std::vector<std::string> rows = tmux.shown_rows();
    ASSERT_GT(rows.size(), 10U);
    EXPECT_EQ(rows[10].rfind(" 0070 01─02─03─04─05─06─07─08┼09─0A─0B─0C─0D─0E─0F─10 ", 0), 0U) << rows[10];
    EXPECT_EQ(rows[5].find("│"), 29U) << rows[5];

    // Quitting ends `script` too (it outlives the tmux server otherwise).
    tmux.send_keys("C-c");
    ASSERT_TRUE(tmux.wait_for([&] { return tmux.capture().find("Press any key") != std::string::npos; }, 30s))
        << tmux.capture();
    tmux.send_keys("Enter");
    ASSERT_TRUE(tmux.wait_for([&] { return tmux.capture().find("qk14-exit=0") != std::string::npos; }, 30s))
        << tmux.capture();
    const std::string bytes = directory_.read("terminal-bytes.log");
    ASSERT_FALSE(bytes.empty());
    const auto beyond_ascii = std::find_if(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) != 0; });
    EXPECT_EQ(beyond_ascii, bytes.end()) << "a byte above 0x7F at offset " << (beyond_ascii - bytes.begin());
}

}  // namespace
}  // namespace qk14_e2e
