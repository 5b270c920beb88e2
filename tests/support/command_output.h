// The standard output of a shell command line run to its end: what tests
// read from tmux, xwd and other tools they drive.
#pragma once

#include <chrono>
#include <string>

#include "tests/support/child_process.h"

namespace qk_test {

// Runs `command_line` with /bin/sh (standard input /dev/null, standard error
// this process's). A command still running after `limit` is stopped; the
// output is then what it wrote so far.
inline std::string command_output(const std::string& command_line,
                                  std::chrono::milliseconds limit = std::chrono::seconds(60))
{
    ChildProcess shell(ChildOptions{.program = "/bin/sh", .arguments = {"-c", command_line}});
    shell.wait_exit(limit);
    return shell.read_output(std::chrono::milliseconds(0));
}

}  // namespace qk_test
