// The real gpsim-bridge running the PIC16F877 firmware in gpsim, its
// pseudo-terminal linked as "tty" in the test's directory, its standard error
// in "bridge.err" there. Ready once it has printed the slave path (the
// firmware runs); stopped (SIGTERM, which also ends gpsim) and reaped by the
// destructor. A build without the firmware image (gpasm missing when it was
// configured) or a machine without gpsim makes the constructor throw: these
// tests fail rather than skip.
#pragma once

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "tests/support/child_process.h"
#include "tests/support/scratch_directory.h"

namespace qk_test {

class GpsimBridge {
public:
    explicit GpsimBridge(const ScratchDirectory& directory) : directory_(directory), process_(child_options(directory))
    {
        if (!process_.first_line(std::chrono::seconds(60)))
            throw std::runtime_error("gpsim-bridge did not start: " + directory_.read("bridge.err"));
    }

    ChildProcess& process() noexcept { return process_; }

private:
    static ChildOptions child_options(const ScratchDirectory& directory)
    {
        const std::string image = PIC_FIRMWARE_HEX;
        if (image.empty())
            throw std::runtime_error("the PIC16F877 firmware was not built: gpasm (package gputils) was not found "
                                     "when the build was configured");
        ChildOptions o;
        o.program = GPSIM_BRIDGE_PATH;
        o.arguments = {"--hex", image, "--link", (directory / "tty").string()};
        o.directory = directory.path();
        o.stderr_file = directory / "bridge.err";
        return o;
    }

    const ScratchDirectory& directory_;
    ChildProcess process_;
};

}  // namespace qk_test
