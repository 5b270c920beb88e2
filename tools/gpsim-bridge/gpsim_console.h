// gpsim's interactive command line as the bridge uses it: commands in, and
// from the console text that comes back, the bytes the PIC sent to the usart
// module (printed as "<XX>" in its hexadecimal console mode), the cycle at
// which each run stopped and whether a breakpoint other than the cycle
// break stopped it.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/gpsim-bridge/gpsim_process.h"

namespace bridge {

class GpsimConsole {
public:
    GpsimConsole(const std::string& program, const std::vector<std::string>& arguments);

    // Sends command lines without waiting for them; throws
    // std::runtime_error (with the end of the console text) when gpsim has
    // ended.
    void send(std::string_view commands);

    struct RunResult {
        std::string bytes;       // what the PIC sent meanwhile
        bool hit_breakpoint = false;  // stopped early by a set breakpoint
    };

    // Lets the simulation run to absolute instruction cycle `cycle` (at least
    // one cycle), or to an earlier breakpoint, and waits for it to stop,
    // at most `limit`. Throws std::runtime_error when gpsim ends or does not
    // stop in time (with the end of its console text).
    RunResult run_to(std::uint64_t cycle, std::chrono::milliseconds limit);

    // The instruction cycle where the last run stopped.
    std::uint64_t cycle() const noexcept { return cycle_; }

    pid_t pid() const noexcept { return process_.pid(); }

private:
    // Moves "<XX>" byte tokens out of `text_` into `bytes`, keeping an
    // unfinished token at the end for the next read.
    void take_bytes(std::string& bytes);
    // Copies the console text from `from` on into the error-report history.
    void keep_history(std::size_t from);
    std::string recent_text() const;

    GpsimProcess process_;
    std::string text_;     // console text not yet consumed
    std::string history_;  // the last console text, for error reports
    std::uint64_t cycle_ = 0;
};

// The "<XX>" tokens of `text` as bytes, each removed; an unfinished token at
// the end stays in `text`.
std::string extract_console_bytes(std::string& text);

}  // namespace bridge
