// The real target-sim program on its own pseudo-terminal, linked as "tty" in
// the test's directory, logging to "sim.log" there. Ready once it has printed
// the slave path; stopped and reaped by the destructor.
#pragma once

#include <signal.h>

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "request_log.h"
#include "scratch_directory.h"

namespace qk14_e2e {

class TargetSimulator {
public:
    TargetSimulator(const ScratchDirectory& directory, const std::vector<std::string>& extra_options)
        : directory_(directory), process_(options(directory, extra_options))
    {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (directory_.read("sim.out").find('\n') == std::string::npos) {
            if (std::chrono::steady_clock::now() > until || process_.wait_exit(std::chrono::milliseconds(0)))
                throw std::runtime_error("target-sim did not start: " + directory_.read("sim.err"));
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    RequestLog log() const { return RequestLog(directory_.read("sim.log")); }

    // Stops the board (SIGSTOP) with its line kept open: a target that no
    // longer answers; resume() lets it answer again.
    void pause() const { process_.signal(SIGSTOP); }
    void resume() const { process_.signal(SIGCONT); }
    ChildProcess& process() noexcept { return process_; }

private:
    static ChildOptions options(const ScratchDirectory& directory, const std::vector<std::string>& extra_options)
    {
        // A simulator started before in the same directory leaves its files; the
        // ready line must come from this one.
        std::filesystem::remove(directory / "sim.out");
        std::filesystem::remove(directory / "sim.log");
        ChildOptions o;
        o.program = TARGET_SIM_PATH;
        o.arguments = {"--link", (directory / "tty").string(), "--log", (directory / "sim.log").string()};
        o.arguments.insert(o.arguments.end(), extra_options.begin(), extra_options.end());
        o.directory = directory.path();
        o.stdout_file = directory / "sim.out";
        o.stderr_file = directory / "sim.err";
        return o;
    }

    const ScratchDirectory& directory_;
    ChildProcess process_;
};

}  // namespace qk14_e2e
