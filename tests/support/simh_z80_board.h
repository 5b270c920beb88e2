// The Z80 monitor firmware running on simh's AltairZ80, its serial line on a
// pseudo-terminal linked at a given path (firmware/z80/run-in-simh.sh). Ready
// once the firmware answers there; the destructor ends the simulator. A
// missing simh, socat or image is an error, not a reason to skip.
#pragma once

#include <signal.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

#include "tests/support/child_process.h"
#include "tests/support/scratch_directory.h"

namespace qk_test {

class SimhZ80Board {
public:
    // Starts the firmware with its line at `link`; `log_name` in `directory`
    // takes the script's error output.
    SimhZ80Board(const ScratchDirectory& directory, const std::filesystem::path& link,
                 const std::string& log_name = "simh.err")
        : directory_(directory), link_(link), log_name_(log_name), process_(child_options(directory, link, log_name))
    {
        const std::optional<std::string> ready = process_.first_line(std::chrono::seconds(30));
        if (!ready || ready->rfind("ready ", 0) != 0)
            throw std::runtime_error("the Z80 firmware did not start on simh: " + directory_.read(log_name_));
    }

    // Kills the simulator outright, as a pulled plug would: its line goes
    // away at once. The link goes first, as a by-id link goes with its
    // device: socat killed cannot remove it, and once its terminal is closed
    // the number may be handed to another program's terminal (another
    // test's board), which a client reopening the link would then reach.
    void kill()
    {
        std::filesystem::remove(link_);
        process_.signal(SIGKILL);
        process_.wait_exit(std::chrono::seconds(10));
    }

    static std::filesystem::path image() { return QK_Z80_MONITOR_IMAGE; }

private:
    static ChildOptions child_options(const ScratchDirectory& directory, const std::filesystem::path& link,
                                      const std::string& log_name)
    {
        if (!std::filesystem::exists(image()))
            throw std::runtime_error("no Z80 monitor image at " + image().string() +
                                     " (is z80asm installed? scripts/install-packages.sh)");
        ChildOptions o;
        o.program = QK_Z80_MONITOR_SCRIPT;
        o.arguments = {"--image", image().string(), link.string()};
        o.directory = directory.path();
        o.stderr_file = directory / log_name;
        return o;
    }

    const ScratchDirectory& directory_;
    std::filesystem::path link_;
    std::string log_name_;
    ChildProcess process_;
};

}  // namespace qk_test
