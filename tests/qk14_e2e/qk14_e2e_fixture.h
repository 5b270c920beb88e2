// Fixture of the end-to-end tests: a scratch directory with QK.DEF, the
// real simulator on its own pseudo-terminal, and qk14 runs against it.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "headless_script.h"
#include "qk14_process.h"
#include "request_log.h"
#include "scratch_directory.h"
#include "screen_capture.h"
#include "target_simulator.h"

namespace qk14_e2e {

using namespace std::chrono_literals;

// Time for start-up, the channel open and the first rows before typing.
inline constexpr int kStartWait = 1500;
// Time for a typed command to be taken key by key (one key per main-loop
// cycle, each cycle reads a dump row) and answered, with room for a busy machine.
inline constexpr int kCommandWait = 2000;
// The command reply wait gives up after about 1.3 s; this leaves room.
inline constexpr int kTimeOutWait = 4000;

class Qk14EndToEnd : public ::testing::Test {
protected:
    void SetUp() override { directory_.write("QK.DEF", "CH=0\r\n"); }

    // Starts the simulator, replacing (and stopping) the one before: a fresh line and log.
    void start_simulator(const std::vector<std::string>& options = {})
    {
        simulator_.reset();
        simulator_.emplace(directory_, options);
    }

    // Runs qk14 with the script (which must end with "close") to its end.
    // Returns the exit code; a program still running after the limit fails the test.
    int run(const HeadlessScript& script, const std::vector<std::string>& arguments = {},
            std::chrono::milliseconds limit = 90s)
    {
        Qk14Process program(directory_, script, arguments);
        const std::optional<int> code = program.finish(limit);
        EXPECT_TRUE(code.has_value()) << "qk14 did not end after its script";
        return code.value_or(-1);
    }

    ScreenCapture screen(const std::string& file) const { return ScreenCapture(directory_.read(file)); }
    RequestLog log() const { return RequestLog(directory_.read("sim.log")); }

    ScratchDirectory directory_;
    std::optional<TargetSimulator> simulator_;
};

}  // namespace qk14_e2e
