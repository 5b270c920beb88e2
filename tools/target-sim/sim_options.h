// Command-line options of target-sim.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/target-sim/target_board.h"

namespace sim {

// A memory byte that moves by `step` (mod 256) every `period`.
struct ScheduledChange {
    std::uint32_t address = 0;
    int step = 1;
    std::chrono::milliseconds period{1000};
};

struct MemoryFill {
    std::uint32_t address = 0;
    std::vector<std::uint8_t> bytes;
};

// The line closed `after` the first request and re-created at the same link
// `down` later, as when a USB adapter is pulled out and plugged in again;
// `times` times in all, each next one `after` the replug. With `decoy`, the
// link points at another session's terminal while the line is down.
struct Unplug {
    std::chrono::milliseconds after{0};
    std::chrono::milliseconds down{0};
    std::uint32_t times = 1;
    bool decoy = false;
};

struct FaultOptions {
    bool silent = false;                      // never answer
    std::chrono::milliseconds late{0};        // delay before each reply
    bool garbage = false;                     // replace the reply by non-hexadecimal bytes
    bool short_reply = false;                 // send only the first half of the reply
    bool nul = false;                         // a NUL byte in the middle of the reply
    std::size_t oversize = 0;                 // pad the reply with digits to this many bytes
    std::size_t noise = 0;                    // this many unrequested bytes after the reply end
    std::optional<std::uint32_t> faulty_replies;  // the reply faults hit only the first N replies
    std::string faulty_address;               // ... and only replies to requests whose digits begin so
    std::optional<std::uint32_t> hangup_after; // close the line after this many requests
    std::optional<Unplug> unplug;
};

struct SimOptions {
    BoardKind board = BoardKind::Z80;
    std::uint32_t baud = 9600;
    bool paced = true;
    int data_bits = 8;
    std::vector<ScheduledChange> changes;
    std::vector<MemoryFill> fills;
    FaultOptions faults;
    std::string log_path;
    bool log_reply_ends = false;  // also log when each reply's end byte was written
    std::string link_path;
    bool exit_on_stdin_eof = false;
    bool help = false;

    // Time one character takes on the line: start bit, data bits, stop bit;
    // zero when unpaced.
    std::chrono::nanoseconds byte_time() const;
};

// Parses argv[1..]; on a bad option returns nothing and fills `error`.
std::optional<SimOptions> parse_sim_options(const std::vector<std::string>& arguments, std::string& error);

extern const char* const kSimUsage;

}  // namespace sim
