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
    HeadlessScript script;
    script.wait(kStartWait).key("F11").wait(kCommandWait).text("abc").key("Enter").wait(kCommandWait).screen("log.txt");
    script.key("F11").wait(kCommandWait).screen("again.txt");
    script.key("Enter").wait(kCommandWait).screen("back.txt").close();
    EXPECT_EQ(run(script), 0);
    EXPECT_EQ(screen("log.txt").at(53, 23, 13), "F11=abc      ") << screen("log.txt").text();
    EXPECT_EQ(screen("again.txt").at(5, 6, 17), "File Name(*.DAT):") << screen("again.txt").text();
    const ScreenCapture back = screen("back.txt");
    EXPECT_EQ(back.at(1, 2, 4), "ADRS") << back.text();
    EXPECT_EQ(back.at(53, 23, 13), "F11=         ");
}

// F10, "ab" typed at the prompt after a while, then "c" and Enter.
HeadlessScript prompt_with_pauses()
{
    HeadlessScript script;
    script.wait(kStartWait).key("F10").wait(1500).screen("first.txt").text("ab").wait(2500).screen("second.txt");
    script.text("c").key("Enter").wait(kCommandWait).screen("page.txt").close();
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
    HeadlessScript script;
    script.wait(kStartWait).command_done("J40").screen("moved.txt");
    script.wait(500).key("Esc").wait(kCommandWait).screen("restarted.txt").close();
    Qk14Process program(directory_, script);
    // QK.DEF changes while the program runs; Esc reads it again.
    directory_.write("QK.DEF", "CH=0\r\nAD=2000\r\nBL=1\r\n");
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
    script.wait(kStartWait).screen("report.txt").wait(500).close();
    EXPECT_EQ(run(script), 0);
    const ScreenCapture report = screen("report.txt");
    EXPECT_EQ(report.at(3, 1, 18), "Channel=COM3 8bit ") << report.text();
    EXPECT_EQ(report.at(12, 20, 62), "QK.DEF CH=5: the channel is 0, 1, 2 or 3; no channel opened   ")
        << report.text();
    EXPECT_TRUE(log().received().empty()) << log().dump();
}

}  // namespace
}  // namespace qk14_e2e
