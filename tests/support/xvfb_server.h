// An Xvfb server for tests and benchmarks of the SDL2 front end, on a display
// number it picks itself; stopped with the object.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "tests/support/child_process.h"

namespace qk_test {

class XvfbServer {
public:
    // `screen`: width x height x depth of the server's screen. display() is
    // empty when the server did not start.
    explicit XvfbServer(const std::string& screen = "800x600x24")
        // The server writes its display number and a newline to standard
        // output (-displayfd 1). -noreset: it would otherwise restart when
        // its last client leaves.
        : server_(ChildOptions{.program = "/bin/sh",
                               .arguments = {"-c", "exec Xvfb \"$@\"", "Xvfb", "-displayfd", "1", "-screen", "0",
                                             screen, "-nolisten", "tcp", "-noreset"}})
    {
        const std::optional<std::string> number = server_.first_line(std::chrono::seconds(60));
        if (number && !number->empty())
            display_ = ":" + *number;
    }

    const std::string& display() const noexcept { return display_; }

private:
    ChildProcess server_;
    std::string display_;
};

}  // namespace qk_test
