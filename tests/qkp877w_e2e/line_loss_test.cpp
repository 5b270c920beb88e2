// QkP877W when the port goes away and comes back (target-sim's unplug fault):
// no exit, rows moving again after the return; with --no-reconnect a hang-up
// ends the program with error 53.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "tests/qkp877w_e2e/qkp877w_e2e_fixture.h"
#include "tests/support/wait_until.h"

namespace qkp877w_e2e {
namespace {

using namespace std::chrono_literals;
using qk_test::wait_until;

class QkP877WLineLoss : public QkP877WEndToEnd {
protected:
    // The port given as --port PATH: the channel QK.DEF selects.
    QkP877WLineLoss() { system_port_.clear(); }

    // QkP877W on the headless front end, keeping "live.txt" up to date until
    // the test writes "done" (finish).
    void start(const std::vector<std::string>& arguments = {})
    {
        qk_test::HeadlessScript script;
        script.live("live.txt").await("done").close();
        program_.emplace(directory_, monitor_, script, arguments, system_port_);
    }
    std::optional<int> finish()
    {
        directory_.write("done", "");
        return program_->finish(60s);
    }
    bool running() { return program_->running(); }

    bool board_logged(const std::string& word) const
    {
        return directory_.read("sim.log").find(' ' + word) != std::string::npos;
    }

    std::optional<qk_test::MonitorProcess> program_;
};

TEST_F(QkP877WLineLoss, DumpPageKeepsRunningWhileTheLineIsGoneAndMovesAgainAfterItsReturn)
{
    start_simulator({"--fill", "010=5A", "--change", "000:1:50", "--fault", "unplug:1500:5000"});
    start();
    ASSERT_TRUE(wait_until([&] { return live().at(1, 4, 7) == "0010 5A"; })) << live().text();
    ASSERT_TRUE(wait_until([&] { return board_logged("UNPLUG"); }));
    // This board's screens show no link fault: the rows just stop changing.
    ASSERT_TRUE(wait_until([&] { return board_logged("REPLUG"); }));
    EXPECT_TRUE(running());
    const std::string frozen = live().at(6, 3, 2);
    EXPECT_TRUE(wait_until([&] { return live().at(6, 3, 2) != frozen; })) << live().text();
    EXPECT_TRUE(running());
    EXPECT_EQ(finish(), 0);
}

TEST_F(QkP877WLineLoss, WithoutReconnectionAHangUpEndsTheProgramWithError53)
{
    start_simulator({"--hangup-after", "5"});
    start({"--no-reconnect"});
    // The report below the dump rows ends by asking for a key; the number's
    // line may have moved off the rows below the work area by then.
    EXPECT_TRUE(wait_until([&] {
        const std::string text = live().text();
        return text.find("[53]") != std::string::npos || text.find("Press any key") != std::string::npos ||
               text.find("went away") != std::string::npos;
    })) << live().text();
    EXPECT_TRUE(finish().has_value());
    EXPECT_NE(directory_.read("config/qkmonitors/settings.ini").find("CODE=53"), std::string::npos);
}

}  // namespace
}  // namespace qkp877w_e2e
