// QkP877W when the port goes away and comes back (target-sim's unplug fault):
// no exit, rows moving again after the return; with --no-reconnect a hang-up
// ends the program with error 53.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "monitor_session.h"
#include "tests/support/wait_until.h"

namespace {

using namespace std::chrono_literals;
using e2e::MonitorSession;

// QkP877W on the headless front end, keeping "live.txt" up to date until the
// test writes "done".
class LiveProgram {
public:
    LiveProgram(const MonitorSession& session, const std::vector<std::string>& extra_arguments = {})
        : session_(session), program_(spec(session, extra_arguments))
    {
    }

    template <class Condition>
    bool wait_until(Condition condition) const
    {
        return qk_test::wait_until(condition);
    }
    std::vector<std::string> screen() const { return session_.screen("live.txt"); }
    std::string clock() const { return screen()[0].substr(71, 8); }
    bool board_logged(const std::string& word) const
    {
        return e2e::read_file(session_.directory() / "sim.log").find(' ' + word) != std::string::npos;
    }
    bool running() { return !program_.wait_exit(0ms); }
    std::optional<int> finish()
    {
        session_.write("done", "");
        return program_.wait_exit(60s);
    }

private:
    static e2e::ProcessSpec spec(const MonitorSession& session, const std::vector<std::string>& extra_arguments)
    {
        session.write("script.txt", "live live.txt\nawait done\nclose\n");
        e2e::ProcessSpec s{QK_QKP877W,
                           {"--ui", "headless", "--script", "script.txt", "--port", session.port().string()},
                           session.directory(),
                           {{"XDG_CONFIG_HOME", (session.directory() / "config").string()}},
                           false};
        s.arguments.insert(s.arguments.end(), extra_arguments.begin(), extra_arguments.end());
        return s;
    }

    const MonitorSession& session_;
    e2e::ChildProcess program_;
};

TEST(QkP877WLineLoss, DumpPageKeepsRunningWhileTheLineIsGoneAndMovesAgainAfterItsReturn)
{
    MonitorSession session;
    session.write("QK.DEF", "CH=0\r\n");
    session.start_board({"--fill", "010=5A", "--change", "000:1:50", "--fault", "unplug:1500:5000"});
    LiveProgram program(session);  // --port PATH: the channel QK.DEF selects
    ASSERT_TRUE(program.wait_until([&] { return program.screen()[4].substr(1, 7) == "0010 5A"; }))
        << program.screen()[4];
    ASSERT_TRUE(program.wait_until([&] { return program.board_logged("UNPLUG"); }));
    // This board's screens show no link fault: the rows just stop changing.
    ASSERT_TRUE(program.wait_until([&] { return program.board_logged("REPLUG"); }));
    EXPECT_TRUE(program.running());
    const std::string frozen = program.screen()[3].substr(6, 2);
    EXPECT_TRUE(program.wait_until([&] {
        return program.screen()[3].substr(6, 2) != frozen;
    })) << program.screen()[3];
    EXPECT_TRUE(program.running());
    EXPECT_EQ(program.finish(), 0);
}

TEST(QkP877WLineLoss, WithoutReconnectionAHangUpEndsTheProgramWithError53)
{
    MonitorSession session;
    session.write("QK.DEF", "CH=0\r\n");
    session.start_board({"--hangup-after", "5"});
    LiveProgram program(session, {"--no-reconnect"});
    // The report below the dump rows ends by asking for a key; the number's
    // line may have moved off the rows below the work area by then.
    bool reported = false;
    EXPECT_TRUE(program.wait_until([&] {
        for (const std::string& row : program.screen())
            reported = reported || row.find("[53]") != std::string::npos || row.find("Press any key") != std::string::npos ||
                       row.find("went away") != std::string::npos;
        return reported;
    }));
    EXPECT_TRUE(program.finish().has_value());
    EXPECT_NE(e2e::read_file(session.directory() / "config/qkmonitors/settings.ini").find("CODE=53"),
              std::string::npos);
}

}  // namespace
