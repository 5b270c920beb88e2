// Function keys and the restart: F11 prompting again in its own mode, and a
// channel outside 0-3 that ends the program at the first request.
#include "tests/qk14_e2e/qk14_e2e_fixture.h"

namespace qk14_e2e {
namespace {

using FunctionKeys = Qk14EndToEnd;

TEST_F(FunctionKeys, F11InLogModePromptsAgainAndEmptyNameReturns)
{
    directory_.write("abc.DAT", "2,3,CNT,80001,H\r\n");
    start_simulator();
    HeadlessScript script = started();
    // The first change listed: the log mode is entered and its key armed again.
    script.key("F11").until(kPromptRow, kFilePrompt).text("abc").key("Enter").until(16, "CNT").screen("log.txt");
    script.key("F11").until(kPromptRow, kFilePrompt).screen("again.txt");
    script.key("Enter").until(3, "0000 00 ").screen("back.txt").close();
    EXPECT_EQ(run(script), 0);
    EXPECT_EQ(screen("log.txt").at(53, 23, 13), "F11=abc      ") << screen("log.txt").text();
    EXPECT_EQ(screen("again.txt").at(5, 6, 17), "File Name(*.DAT):") << screen("again.txt").text();
    const ScreenCapture back = screen("back.txt");
    EXPECT_EQ(back.at(1, 2, 4), "ADRS") << back.text();
    EXPECT_EQ(back.at(53, 23, 13), "F11=         ");
}

// Keys typed right behind F11 go to its prompt, keys typed before it to the
// command line: the whole name reaches the prompt.
TEST_F(FunctionKeys, KeysTypedRightAfterF11GoToItsPrompt)
{
    directory_.write("abc.DAT", "2,3,CNT,80001,H\r\n");
    start_simulator();
    HeadlessScript script = started();
    script.text("R1").key("F11").text("abc").key("Enter").until(16, "CNT").screen("log.txt").close();
    EXPECT_EQ(run(script), 0);
    const ScreenCapture log_page = screen("log.txt");
    EXPECT_EQ(log_page.at(53, 23, 13), "F11=abc      ") << log_page.text();
    EXPECT_EQ(log_page.at(3, 21, 14), "Command :R1   ") << log_page.text();
}

// F10 once the clock shows, "ab" typed at the prompt, a pause, then "c" and
// Enter. The pause is what the cases check.
HeadlessScript prompt_with_pauses()
{
    HeadlessScript script = started();
    script.key("F10").until(kPromptRow, kFilePrompt).until(0, ":").screen("first.txt");
    script.text("ab").until(kPromptRow, "File Name(*.DAT):ab").wait(2500).screen("second.txt");
    script.text("c").key("Enter").until(3, "CNT").screen("page.txt").close();
    return script;
}

TEST_F(FunctionKeys, FilePromptKeepsTheTypedNameWhileItWaits)
{
    directory_.write("abc.DAT", "2,3,CNT,80001,H\r\n");
    start_simulator();
    EXPECT_EQ(run(prompt_with_pauses()), 0);
    const ScreenCapture second = screen("second.txt");
    EXPECT_EQ(second.at(5, 6, 20), "File Name(*.DAT):ab ") << second.text();
    EXPECT_EQ(screen("page.txt").at(2, 3, 3), "CNT") << screen("page.txt").text();
}

TEST_F(FunctionKeys, ClockTicksDuringTheFilePrompt)
{
    directory_.write("abc.DAT", "2,3,CNT,80001,H\r\n");
    start_simulator();
    EXPECT_EQ(run(prompt_with_pauses()), 0);
    const ScreenCapture first = screen("first.txt");
    const ScreenCapture second = screen("second.txt");
    // 2.5 s apart: the clock has moved, and the typed text stayed at the prompt.
    EXPECT_NE(first.at(71, 0, 8), second.at(71, 0, 8)) << first.text() << second.text();
    EXPECT_EQ(second.at(71, 0, 8)[2], ':');
    EXPECT_EQ(second.at(5, 6, 20), "File Name(*.DAT):ab ") << second.text();
}

TEST_F(FunctionKeys, EscRestartReadsTheSettingsAgain)
{
    start_simulator();
    HeadlessScript script = started();
    script.command_done("J40").screen("moved.txt");
    script.await(kGoOn).key("Esc").until(3, "2000 00 ").screen("restarted.txt").close();
    Qk14Process program(directory_, script);
    // QK.DEF changes while the program runs; Esc reads it again.
    ASSERT_TRUE(wait_for_screen("moved.txt"));
    directory_.write("QK.DEF", "CH=0\r\nAD=2000\r\nBL=1\r\n");
    directory_.write(kGoOn, "");
    EXPECT_EQ(program.finish(60s), 0);
    EXPECT_EQ(screen("moved.txt").at(1, 3, 4), "4000") << screen("moved.txt").text();
    const ScreenCapture restarted = screen("restarted.txt");
    EXPECT_EQ(restarted.at(1, 3, 4), "2000") << restarted.text();
    EXPECT_EQ(restarted.at(24, 1, 6), "Big   ");
}

TEST_F(FunctionKeys, ChannelOutsideTheRangeIsShownInWordsAndNothingIsSent)
{
    directory_.write("QK.DEF", "CH=5\r\n");
    start_simulator();
    HeadlessScript script;
    // A failed row read shows in the clock: nothing went out for it.
    script.until(20, "no channel opened").screen("report.txt").until(0, "Error").close();
    EXPECT_EQ(run(script), 0);
    const ScreenCapture report = screen("report.txt");
    EXPECT_EQ(report.at(3, 1, 18), "Channel=COM3 8bit ") << report.text();
    EXPECT_EQ(report.at(12, 20, 62), "QK.DEF CH=5: the channel is 0, 1, 2 or 3; no channel opened   ")
        << report.text();
    EXPECT_TRUE(log().received().empty()) << log().dump();
}

}  // namespace
}  // namespace qk14_e2e
