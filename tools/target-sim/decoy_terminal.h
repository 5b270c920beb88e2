// Another program's terminal for an unplugged line's link to point at: a
// pseudo-terminal that a child process holds as the controlling terminal of
// its own session, as a shell's terminal is. A client that follows the link
// while it points here must refuse it; every byte written into it is read
// on the master side so the simulator can log it.
#pragma once

#include <sys/types.h>

#include <string>

#include "tools/target-sim/pseudo_terminal.h"

namespace sim {

class DecoyTerminal {
public:
    // Opens the terminal and starts the session that holds it; throws std::system_error.
    DecoyTerminal();
    ~DecoyTerminal();
    DecoyTerminal(const DecoyTerminal&) = delete;
    DecoyTerminal& operator=(const DecoyTerminal&) = delete;

    int master() const noexcept { return terminal_.master(); }
    const std::string& slave_path() const noexcept { return terminal_.slave_path(); }

private:
    PseudoTerminal terminal_;
    pid_t holder_ = -1;
};

}  // namespace sim
