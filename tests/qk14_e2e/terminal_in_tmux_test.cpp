// qk14 on the terminal front end in tmux: the dump page with its two
// separator lines drawn as line-drawing characters, and typed commands.
#include "tests/qk14_e2e/qk14_e2e_fixture.h"
#include "tests/qk14_e2e/tmux_session.h"

namespace qk14_e2e {
namespace {

using TerminalInTmux = Qk14EndToEnd;

TEST_F(TerminalInTmux, DumpPageWithSeparatorLinesAndACommand)
{
    if (!TmuxSession::available())
        GTEST_SKIP() << "tmux is not installed";
    start_simulator({"--fill", "0070=0102030405060708090A0B0C0D0E0F10", "--fill", "8000=BEEF"});
    const std::string command = "cd " + shell_quoted(directory_.path().string()) +
                                " && XDG_CONFIG_HOME=config TERM=tmux-256color " + shell_quoted(QK14_PATH) +
                                " --ui tty --port COM1=" + shell_quoted((directory_ / "tty").string()) +
                                "; echo qk14-exit=$?; sleep 60";
    const TmuxSession tmux("qk14_e2e_" + std::to_string(::getpid()), command);

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
    const std::string command = "cd " + shell_quoted(directory_.path().string()) +
                                " && XDG_CONFIG_HOME=config TERM=tmux-256color " + shell_quoted(QK14_PATH) +
                                " --ui tty --port COM1=" + shell_quoted((directory_ / "tty").string()) +
                                "; echo qk14-exit=$?; sleep 60";
    const TmuxSession tmux("qk14_alt_" + std::to_string(::getpid()), command);
    auto row_shows = [&](std::size_t row, const std::string& text) {
        return tmux.wait_for(
            [&] {
                const auto rows = tmux.rows();
                return rows.size() > row && rows[row].find(text) != std::string::npos;
            },
            30s);
    };
    ASSERT_TRUE(row_shows(3, "0000 A1")) << tmux.capture();

    tmux.send_keys("M-0");
    EXPECT_TRUE(row_shows(6, "File Name(*.DAT):")) << tmux.capture();
    EXPECT_EQ(tmux.rows().at(5).find("FileName/D"), std::string::npos) << "F10's prompt, not F11's: " << tmux.capture();
    tmux.send_keys("Enter");
    ASSERT_TRUE(row_shows(3, "0000 A1")) << tmux.capture();

    tmux.send_keys("M--");
    EXPECT_TRUE(row_shows(5, "FileName/D : Delete & Create File(*.DAS)")) << tmux.capture();
    EXPECT_TRUE(row_shows(6, "File Name(*.DAT):")) << tmux.capture();
    tmux.send_keys("Enter");
    ASSERT_TRUE(row_shows(3, "0000 A1")) << tmux.capture();

    // The restart reads QK.DEF again: the dump page then starts at 8000.
    directory_.write("QK.DEF", "AD=8000\r\n");
    tmux.send_keys("Escape");
    EXPECT_TRUE(row_shows(3, "8000 B2")) << tmux.capture();
}

}  // namespace
}  // namespace qk14_e2e
