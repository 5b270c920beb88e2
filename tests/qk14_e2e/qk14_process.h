// The real qk14 program on the headless front end, run in the test's
// directory with a script, system port COM1 (channel 0) on the simulator's
// pseudo-terminal and its per-user settings kept in the directory.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "child_process.h"
#include "headless_script.h"
#include "scratch_directory.h"

namespace qk14_e2e {

class Qk14Process {
public:
    Qk14Process(const ScratchDirectory& directory, const HeadlessScript& script,
                const std::vector<std::string>& extra_arguments = {})
        : directory_(directory), process_(options(directory, script, extra_arguments))
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
    std::string standard_error() const { return directory_.read("qk14.err"); }
    std::string standard_output() const { return directory_.read("qk14.out"); }

private:
    static ChildOptions options(const ScratchDirectory& directory, const HeadlessScript& script,
                                const std::vector<std::string>& extra_arguments)
    {
        directory.write("script.txt", script.str());
        ChildOptions o;
        o.program = QK14_PATH;
        o.arguments = {"--ui", "headless", "--script", "script.txt", "--port", "COM1=" + (directory / "tty").string()};
        o.arguments.insert(o.arguments.end(), extra_arguments.begin(), extra_arguments.end());
        o.directory = directory.path();
        o.environment = {{"XDG_CONFIG_HOME", (directory / "config").string()}};
        o.stdout_file = directory / "qk14.out";
        o.stderr_file = directory / "qk14.err";
        return o;
    }

    const ScratchDirectory& directory_;
    ChildProcess process_;
};

}  // namespace qk14_e2e
