// The real target-sim program on its own pseudo-terminal, linked as "tty" in
// the test's directory, logging to "sim.log" there; the board and any fault
// come from its options. Ready once it has printed the slave path; stopped
// and reaped by the destructor.
#pragma once

#include <signal.h>

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/request_log.h"
#include "tests/support/scratch_directory.h"

namespace qk_test {

class TargetSimulator {
public:
    TargetSimulator(const ScratchDirectory& directory, const std::vector<std::string>& options)
        : directory_(directory), process_(child_options(directory, options))
    {
        if (!process_.first_line(std::chrono::seconds(20)))
            throw std::runtime_error("target-sim did not start: " + directory_.read("sim.err"));
    }

    RequestLog log() const { return RequestLog(directory_.read("sim.log")); }

    // Stops the board (SIGSTOP) with its line kept open: a target that no
    // longer answers; resume() lets it answer again.
    void pause() const { process_.signal(SIGSTOP); }
    void resume() const { process_.signal(SIGCONT); }
    ChildProcess& process() noexcept { return process_; }

private:
    static ChildOptions child_options(const ScratchDirectory& directory, const std::vector<std::string>& options)
    {
        // A simulator started before in the same directory leaves its log.
        std::filesystem::remove(directory / "sim.log");
        ChildOptions o;
        o.program = TARGET_SIM_PATH;
        o.arguments = {"--link", (directory / "tty").string(), "--log", (directory / "sim.log").string()};
        o.arguments.insert(o.arguments.end(), options.begin(), options.end());
        o.directory = directory.path();
        o.stderr_file = directory / "sim.err";
        return o;
    }

    const ScratchDirectory& directory_;
    ChildProcess process_;
};

}  // namespace qk_test
