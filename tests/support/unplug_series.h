// The board's line pulled and plugged in again many times in a row
// (target-sim's unplug fault, master and slave closed at once and re-created
// at the same link), with the link pointing at another session's terminal
// while the line is down. The program must never freeze, never write into
// that terminal, and be back asking the board soon after each return.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/monitor_end_to_end.h"
#include "tests/support/screen_sampler.h"
#include "tests/support/wait_until.h"

namespace qk_test {

class UnplugSeriesEndToEnd : public MonitorEndToEnd {
protected:
    using MonitorEndToEnd::MonitorEndToEnd;

    // What the board's log tells of the run.
    struct UnplugRun {
        int replugs = 0;
        double slowest_return = 0;  // seconds from a replug to the first request on the new line
        int returns_without_request = 0;
        std::vector<std::string> decoy_writes;
    };

    // Runs the program (its `keys` played once the dump page shows) through
    // `times` unplugs of `down_ms` each, `up_ms` apart; returns once the
    // simulator has plugged the line in for the last time and the program
    // asked the board again, and the program has ended.
    UnplugRun run_through_unplugs(int times, int up_ms, int down_ms, const HeadlessScript& keys,
                                  const std::vector<std::string>& board_options)
    {
        std::vector<std::string> options = board_options;
        options.insert(options.end(), {"--fault", "unplug:" + std::to_string(up_ms) + ":" + std::to_string(down_ms) +
                                                      ":" + std::to_string(times),
                                       "--unplug-decoy"});
        start_simulator(options);
        HeadlessScript script;
        script.live("live.txt").until(3, "0000 00");  // the dump loop runs: function keys are taken
        script = HeadlessScript::join(script, keys).await("done").close();
        MonitorProcess program(directory_, monitor_, script, {}, system_port_);
        // The screen keeps changing: a frozen program's would stop.
        std::string last_screen;
        auto changed = std::chrono::steady_clock::now();
        std::chrono::steady_clock::duration longest_still{};
        ScreenSampler sampler(directory_ / "live.txt", [&](const ScreenCapture& screen) -> std::optional<std::string> {
            const auto now = std::chrono::steady_clock::now();
            if (screen.text() != last_screen) {
                last_screen = screen.text();
                changed = now;
            }
            longest_still = std::max(longest_still, now - changed);
            return std::nullopt;
        });
        const bool all_back = wait_until(
            [&] {
                const UnplugRun run = read_run();
                return run.replugs >= times && run.returns_without_request == 0;
            },
            std::chrono::milliseconds(static_cast<long>(times) * (up_ms + down_ms) * 3 + 60000));
        sampler.stop();
        EXPECT_TRUE(all_back) << directory_.read("sim.log").substr(0, 4000);
        EXPECT_TRUE(program.running()) << program.standard_error();
        // A frozen program's screen stands still for good; a live one changes
        // at least with each return of the line.
        EXPECT_LT(std::chrono::duration<double>(longest_still).count(), 30.0) << "the screen stood still";
        directory_.write("done", "");
        EXPECT_EQ(program.finish(std::chrono::seconds(60)), 0) << program.standard_error();
        return read_run();
    }

    UnplugRun read_run() const
    {
        UnplugRun run;
        const std::vector<LogLine> lines = log().lines();
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].direction == "DECOY-RX")
                run.decoy_writes.push_back(lines[i].hex);
            if (lines[i].direction != "REPLUG")
                continue;
            ++run.replugs;
            const auto request = std::find_if(lines.begin() + static_cast<std::ptrdiff_t>(i), lines.end(),
                                              [](const LogLine& line) { return line.direction == "RX"; });
            if (request == lines.end())
                ++run.returns_without_request;
            else
                run.slowest_return = std::max(run.slowest_return, request->seconds - lines[i].seconds);
        }
        return run;
    }
};

}  // namespace qk_test
