// The terminal front end in a real terminal: the probe program runs in a
// private tmux server; keys go in with send-keys, the screen comes back with
// capture-pane.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>
#include <vector>

#include "tests/support/command_output.h"

namespace {

using qk_test::command_output;

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

class TmuxProbe : public testing::Test {
protected:
    void SetUp() override
    {
        if (command_output("command -v tmux").empty())
            GTEST_SKIP() << "tmux is not installed";
        // One server per test: a server that is shutting down must not meet the next test.
        socket_ = "qk_frontends_" + std::to_string(getpid()) + "_" +
                  testing::UnitTest::GetInstance()->current_test_info()->name();
        pid_file_ = std::filesystem::temp_directory_path() / (socket_ + ".pid");
        std::filesystem::remove(pid_file_);
        const std::string inner = "TERM=tmux-256color " + std::string(QK_TERMINAL_PROBE) + " " + pid_file_.string() +
                                  "; echo probe-exit=$?; sleep 60";
        command_output("LANG=C.UTF-8 tmux -u -L " + socket_ + " -f /dev/null new-session -d -s probe -x 100 -y 30 '" + inner + "'");
        ASSERT_TRUE(wait_for([&] { return screen_contains("Qk14 probe"); })) << capture(false);
    }

    void TearDown() override
    {
        if (!socket_.empty())
            command_output("tmux -L " + socket_ + " kill-server 2>/dev/null");
        std::filesystem::remove(pid_file_);
    }

    std::string tmux(const std::string& arguments) { return command_output("tmux -L " + socket_ + " " + arguments); }
    std::string capture(bool escapes) { return tmux(std::string("capture-pane -p ") + (escapes ? "-e " : "") + "-t probe"); }
    std::vector<std::string> rows(bool escapes = false) { return lines_of(capture(escapes)); }
    bool screen_contains(const std::string& text) { return capture(false).find(text) != std::string::npos; }

    // Waits (up to 10 s) until the condition holds: the probe runs asynchronously.
    static bool wait_for(const std::function<bool()>& condition)
    {
        for (int i = 0; i < 200; ++i) {
            if (condition())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    pid_t probe_pid()
    {
        std::ifstream file(pid_file_);
        pid_t pid = 0;
        file >> pid;
        return pid;
    }

    std::string socket_;
    std::filesystem::path pid_file_;
};

TEST_F(TmuxProbe, PaintsTextColoursDoubleByteCellsAndLayerLines)
{
    const auto plain = rows();
    ASSERT_GE(plain.size(), 24U);
    EXPECT_EQ(plain[0].rfind("Qk14 probe", 0), 0U) << plain[0];
    // 漢字 take two cells each; → is one cell wide in the terminal and is padded with a space.
    EXPECT_EQ(plain[3].rfind("漢字→ |", 0), 0U) << plain[3];
    // The horizontal line at y=197 (row 10) from column 6 to 52, crossed at column 29 by x=236.
    const std::string expected_line = [] {
        std::string line(6, ' ');
        for (int column = 6; column <= 52; ++column)
            line += column == 29 ? "┼" : "─";
        return line;
    }();
    EXPECT_EQ(plain[10].rfind(expected_line, 0), 0U) << plain[10];
    EXPECT_EQ(plain[5], std::string(29, ' ') + "│") << plain[5];

    const auto coloured = rows(true);
    // The reversed cell keeps the reverse attribute; white text is 256-colour 231.
    const std::string& reversed_row = coloured[2];
    const std::size_t r = reversed_row.find('R');
    ASSERT_NE(r, std::string::npos);
    const std::size_t escape = reversed_row.rfind("\x1b[", r);
    ASSERT_NE(escape, std::string::npos) << reversed_row;
    EXPECT_NE(reversed_row.substr(0, r).find("7m"), std::string::npos) << reversed_row;
    EXPECT_NE(coloured[0].find("231"), std::string::npos) << coloured[0];
    EXPECT_NE(coloured[3].find("226"), std::string::npos) << coloured[3];  // yellow
}

TEST_F(TmuxProbe, KeysBecomeMessages)
{
    auto expect_key = [&](const std::string& keys, const std::string& token) {
        tmux("send-keys -t probe " + keys);
        EXPECT_TRUE(wait_for([&] { return rows().size() > 22 && rows()[22].find(token) != std::string::npos; }))
            << keys << " did not give " << token << ":\n" << capture(false);
    };
    expect_key("F5", "D74");
    expect_key("PPage", "D21");
    expect_key("Escape", "D1B C1B");
    expect_key("C-c", "D11 D43 C03");  // Ctrl+C is a key, not a signal
    expect_key("-l 漢", "C8A CBF");
    expect_key("S-Home", "D10 D24");
    expect_key("F12", "D7B");
    EXPECT_TRUE(screen_contains("Qk14 probe"));  // still running
}

TEST_F(TmuxProbe, MessageBoxWaitsForEnterAndTheScreenComesBack)
{
    tmux("send-keys -t probe m");
    EXPECT_TRUE(wait_for([&] {
        const std::string screen = capture(false);
        return screen.find("[ OK ]") != std::string::npos && screen.find("Hello") != std::string::npos &&
               screen.find("World") != std::string::npos && screen.find("Probe") != std::string::npos;
    })) << capture(false);
    tmux("send-keys -t probe F5");  // not a key that dismisses the box
    tmux("send-keys -t probe Enter");
    EXPECT_TRUE(wait_for([&] { return !screen_contains("[ OK ]") && screen_contains("Qk14 probe"); }))
        << capture(false);
    EXPECT_FALSE(screen_contains("D74")) << capture(false);  // the box took F5 and Enter
    EXPECT_EQ(rows()[10].find("──"), 6U);                     // the layer's line is back
}

TEST_F(TmuxProbe, SmallTerminalSaysSoAndSigtermRestoresTheTerminal)
{
    tmux("resize-window -t probe -x 60 -y 20");
    EXPECT_TRUE(wait_for([&] {
        const auto r = rows();
        return r.size() == 20 && r[19].find("smaller than 80x24") != std::string::npos;
    })) << capture(false);
    EXPECT_EQ(rows()[0].rfind("Qk14 probe", 0), 0U);

    const pid_t pid = probe_pid();
    ASSERT_GT(pid, 0);
    ASSERT_EQ(kill(pid, SIGTERM), 0);
    EXPECT_TRUE(wait_for([&] { return screen_contains("probe-exit=0"); })) << capture(false);
    // Back on the normal screen: the probe's cells are gone with the alternate screen.
    EXPECT_FALSE(screen_contains("Qk14 probe")) << capture(false);
}

}  // namespace
