// Fixture of the end-to-end tests of both monitors: a scratch directory with
// QK.DEF (channel 0), the real simulator of the monitor's board on its own
// pseudo-terminal, and the monitor run against it on the headless front end
// with a script. Afterwards a test reads the screens the script saved and the
// requests the board received.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tests/support/headless_script.h"
#include "tests/support/monitor_process.h"
#include "tests/support/request_log.h"
#include "tests/support/scratch_directory.h"
#include "tests/support/screen_capture.h"
#include "tests/support/target_simulator.h"

namespace qk_test {

class MonitorEndToEnd : public ::testing::Test {
protected:
    static constexpr int kScreenRows = 24;

    explicit MonitorEndToEnd(MonitorUnderTest monitor) : monitor_(std::move(monitor)) {}

    void SetUp() override { directory_.write("QK.DEF", "CH=0\r\n"); }

    // Starts the board's simulator with extra options, replacing (and stopping)
    // the one before: a fresh line and log.
    void start_simulator(const std::vector<std::string>& options = {})
    {
        simulator_.reset();
        std::vector<std::string> all = monitor_.board_options;
        all.insert(all.end(), options.begin(), options.end());
        simulator_.emplace(directory_, all);
    }

    // Runs the monitor with the script (which must end with "close") to its
    // end. Returns the exit code; a program still running after the limit
    // fails the test.
    int run(const HeadlessScript& script, const std::vector<std::string>& arguments = {},
            std::chrono::milliseconds limit = std::chrono::seconds(90))
    {
        MonitorProcess program(directory_, monitor_, script, arguments, system_port_);
        const std::optional<int> code = program.finish(limit);
        EXPECT_TRUE(code.has_value()) << monitor_.name << " did not end after its script\n"
                                      << program.standard_error();
        return code.value_or(-1);
    }
    int run(const std::vector<std::string>& script_lines, const std::vector<std::string>& arguments = {})
    {
        HeadlessScript script;
        for (const std::string& line : script_lines)
            script.line(line);
        return run(script, arguments);
    }

    ScreenCapture screen(const std::string& file) const { return ScreenCapture(directory_.read(file)); }
    // The screen a script's live("live.txt") keeps up to date.
    ScreenCapture live() const { return screen("live.txt"); }

    // Waits until a running script has written the screen file whole (all
    // its rows); false when it has not after the limit.
    bool wait_for_screen(const std::string& file, std::chrono::milliseconds limit = std::chrono::seconds(60)) const
    {
        const auto until = std::chrono::steady_clock::now() + limit;
        for (;;) {
            const std::string text = directory_.read(file);
            if (std::count(text.begin(), text.end(), '\n') >= kScreenRows)
                return true;
            if (std::chrono::steady_clock::now() >= until)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    RequestLog log() const { return RequestLog(directory_.read("sim.log")); }
    std::filesystem::path port() const { return directory_ / "tty"; }

    MonitorUnderTest monitor_;
    // The system port that is the simulator's line; empty: the channel QK.DEF selects.
    std::string system_port_ = "COM1";
    ScratchDirectory directory_{monitor_.name + "-e2e"};
    std::optional<TargetSimulator> simulator_;
};

}  // namespace qk_test
