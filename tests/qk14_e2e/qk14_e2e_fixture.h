// Qk14 on the shared end-to-end fixture: the Z80 board (target-sim's default)
// and the screen conditions the scripts wait on.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/headless_script.h"
#include "tests/support/monitor_end_to_end.h"
#include "tests/support/monitor_process.h"
#include "tests/support/request_log.h"
#include "tests/support/scratch_directory.h"
#include "tests/support/screen_capture.h"
#include "tests/support/screen_series.h"
#include "tests/support/target_simulator.h"
#include "tests/support/wait_until.h"

namespace qk14_e2e {

using namespace std::chrono_literals;
using qk_test::capture_series;
using qk_test::ChildOptions;
using qk_test::ChildProcess;
using qk_test::HeadlessScript;
using qk_test::LogLine;
using qk_test::parse_request_log;
using qk_test::request_hex;
using qk_test::RequestLog;
using qk_test::ScratchDirectory;
using qk_test::ScreenCapture;
using qk_test::ScreenSeries;
using qk_test::TargetSimulator;
using qk_test::to_shift_jis;
using qk_test::wait_until;

// The F10 and F11 file prompt, drawn last before it waits for the name.
inline constexpr int kPromptRow = 6;
inline constexpr std::string_view kFilePrompt = "File Name(*.DAT):";
// A script holds at await(kGoOn) until the test lets it go on (run_when).
inline constexpr std::string_view kGoOn = "go-on";

// A script that starts once the main loop runs, and so takes keys: the
// page's first dump row shows data, beginning with `first_row`.
inline HeadlessScript started(std::string_view first_row = "0000 00 ")
{
    HeadlessScript script;
    script.until(3, first_row);
    return script;
}

// Presses a watch page key whose file does not load, once the page at 0000
// has been read whole; done when the page is drawn again, which its last row
// shows until it is read again.
inline HeadlessScript failing_watch_key(std::string_view key)
{
    HeadlessScript script;
    script.until(18, "00F0 00 ").key(key).until(18, "00F0 --");
    return script;
}

inline qk_test::MonitorUnderTest qk14_under_test() { return {QK14_PATH, "qk14", {}}; }

// qk14 run in a test's directory (see qk_test::MonitorProcess).
class Qk14Process : public qk_test::MonitorProcess {
public:
    Qk14Process(const ScratchDirectory& directory, const HeadlessScript& script,
                const std::vector<std::string>& extra_arguments = {})
        : MonitorProcess(directory, qk14_under_test(), script, extra_arguments)
    {
    }
};

class Qk14EndToEnd : public qk_test::MonitorEndToEnd {
protected:
    Qk14EndToEnd() : MonitorEndToEnd(qk14_under_test()) {}

    // Runs qk14 with a script that holds at await(kGoOn) until the test sees
    // `condition` hold (on the board's log, a file, the live screen), then to
    // its end; returns the exit code.
    template <class Condition>
    int run_when(const HeadlessScript& script, Condition condition, const std::vector<std::string>& arguments = {})
    {
        // Nothing left from a run before in the same directory.
        std::filesystem::remove(directory_ / kGoOn);
        std::filesystem::remove(directory_ / "live.txt");
        Qk14Process program(directory_, script, arguments);
        EXPECT_TRUE(wait_until(condition)) << "the condition to go on did not hold";
        directory_.write(kGoOn, "");
        const std::optional<int> code = program.finish(90s);
        EXPECT_TRUE(code.has_value()) << "qk14 did not end after its script";
        return code.value_or(-1);
    }
};

}  // namespace qk14_e2e
