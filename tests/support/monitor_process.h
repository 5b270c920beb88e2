// A monitor program (qk14 or qkp877w) on the headless front end, run in the
// test's directory with a script, a system port (COM1, channel 0, unless the
// test names another; none: --port PATH, the channel QK.DEF selects) on the
// simulator's pseudo-terminal "tty" there, and its per-user settings kept in
// the directory. Its output goes to NAME.out and
// NAME.err.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/headless_script.h"
#include "tests/support/scratch_directory.h"

namespace qk_test {

// The program an end-to-end test runs and the board it talks to.
struct MonitorUnderTest {
    std::filesystem::path program;           // the executable
    std::string name;                        // "qk14": output files qk14.out and qk14.err
    std::vector<std::string> board_options;  // target-sim's options choosing the board
};

class MonitorProcess {
public:
    MonitorProcess(const ScratchDirectory& directory, const MonitorUnderTest& monitor, const HeadlessScript& script,
                   const std::vector<std::string>& extra_arguments = {}, const std::string& system_port = "COM1")
        : directory_(directory), name_(monitor.name),
          process_(options(directory, monitor, script, extra_arguments, system_port))
    {
    }

    // Waits for the program to end after its script; the exit code, or
    // nothing when it did not end in time (it is then stopped).
    std::optional<int> finish(std::chrono::milliseconds limit)
    {
        std::optional<int> code = process_.wait_exit(limit);
        if (!code)
            process_.stop();
        return code;
    }

    bool running() { return !process_.wait_exit(std::chrono::milliseconds(0)); }
    pid_t pid() const noexcept { return process_.pid(); }
    std::string standard_error() const { return directory_.read(name_ + ".err"); }
    std::string standard_output() const { return directory_.read(name_ + ".out"); }

private:
    static ChildOptions options(const ScratchDirectory& directory, const MonitorUnderTest& monitor,
                                const HeadlessScript& script, const std::vector<std::string>& extra_arguments,
                                const std::string& system_port)
    {
        directory.write("script.txt", script.str());
        ChildOptions o;
        o.program = monitor.program;
        const std::string port = (directory / "tty").string();
        o.arguments = {"--ui", "headless", "--script", "script.txt", "--port",
                       system_port.empty() ? port : system_port + "=" + port};
        o.arguments.insert(o.arguments.end(), extra_arguments.begin(), extra_arguments.end());
        o.directory = directory.path();
        o.environment = {{"XDG_CONFIG_HOME", (directory / "config").string()}};
        o.stdout_file = directory / (monitor.name + ".out");
        o.stderr_file = directory / (monitor.name + ".err");
        return o;
    }

    const ScratchDirectory& directory_;
    std::string name_;
    ChildProcess process_;
};

}  // namespace qk_test
