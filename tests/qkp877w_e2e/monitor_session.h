// The end-to-end kit under the names QkP877W tests used before the shared
// fixture (qk_test::MonitorEndToEnd, tests/support): a session object with a
// scratch directory, the PIC16F877 board and QkP877W runs with a script.
// New tests use QkP877WEndToEnd (qkp877w_e2e_fixture.h) instead.
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tests/qkp877w_e2e/qkp877w_e2e_fixture.h"
#include "tests/support/child_process.h"
#include "tests/support/monitor_process.h"
#include "tests/support/request_log.h"
#include "tests/support/scratch_directory.h"
#include "tests/support/screen_capture.h"
#include "tests/support/target_simulator.h"

namespace e2e {

using Clock = std::chrono::steady_clock;
using qk_test::ChildProcess;

// A child's program, arguments, directory and added environment; standard
// input and output on a pseudo-terminal, or standard output on a pipe.
struct ProcessSpec {
    std::string program;
    std::vector<std::string> arguments;
    std::filesystem::path directory;
    std::vector<std::pair<std::string, std::string>> environment;
    bool outputOnTerminal = false;

    operator qk_test::ChildOptions() const
    {
        return {.program = program, .arguments = arguments, .directory = directory, .environment = environment,
                .on_terminal = outputOnTerminal};
    }
};

inline std::string read_file(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class MonitorSession {
public:
    const std::filesystem::path& directory() const { return directory_.path(); }
    std::filesystem::path port() const { return directory_ / "tty"; }
    void write(const std::string& name, std::string_view bytes) const { directory_.write(name, bytes); }

    // The PIC board with its request log; `options` are extra simulator options.
    void start_board(const std::vector<std::string>& options = {})
    {
        std::vector<std::string> all = qkp877w_e2e::qkp877w_under_test().board_options;
        all.insert(all.end(), options.begin(), options.end());
        simulator_.reset();
        simulator_.emplace(directory_, all);
    }

    // Runs QkP877W with the script lines; system port `com` (COM1 = channel 0)
    // is the board. Returns the exit code (-1 when it did not end in time).
    int run(const std::vector<std::string>& script, const std::string& com = "COM1") const
    {
        qk_test::HeadlessScript text;
        for (const std::string& line : script)
            text.line(line);
        qk_test::MonitorProcess program(directory_, qkp877w_e2e::qkp877w_under_test(), text, {}, com);
        return program.finish(std::chrono::seconds(90)).value_or(-1);
    }

    // "screen NAME" lines in a script write here.
    std::string screen_command(const std::string& name) const { return "screen " + (directory_ / name).string(); }

    // The 24 rows a script saved, each padded to 80 columns.
    std::vector<std::string> screen(const std::string& name) const
    {
        return qk_test::ScreenCapture(directory_.read(name)).padded_rows();
    }

    // The requests the board received, in order, as "1234<22>".
    std::vector<std::string> requests() const { return log().requests_except_rows_of(); }
    // The requests other than the dump page's row reads.
    std::vector<std::string> command_requests() const { return log().requests_except_rows_of({"0000", "0100"}); }

private:
    qk_test::RequestLog log() const { return qk_test::RequestLog(directory_.read("sim.log")); }

    qk_test::ScratchDirectory directory_{"qkp877w-e2e"};
    std::optional<qk_test::TargetSimulator> simulator_;
};

}  // namespace e2e
