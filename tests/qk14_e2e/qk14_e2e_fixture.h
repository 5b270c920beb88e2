// Qk14 on the shared end-to-end fixture: the Z80 board (target-sim's default)
// and the generous waits the scripts use.
#pragma once

#include <chrono>

#include "tests/support/child_process.h"
#include "tests/support/headless_script.h"
#include "tests/support/monitor_end_to_end.h"
#include "tests/support/monitor_process.h"
#include "tests/support/request_log.h"
#include "tests/support/scratch_directory.h"
#include "tests/support/screen_capture.h"
#include "tests/support/screen_series.h"
#include "tests/support/target_simulator.h"

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

// Time for start-up, the channel open and the first rows before typing.
inline constexpr int kStartWait = 1500;
// Time for a typed command to be taken key by key (one key per main-loop
// cycle, each cycle reads a dump row) and answered, with room for a busy machine.
inline constexpr int kCommandWait = 2000;
// The command reply wait gives up after about 1.3 s; this leaves room.
inline constexpr int kTimeOutWait = 4000;

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
};

}  // namespace qk14_e2e
