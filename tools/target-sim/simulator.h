// The simulator's event loop: takes request bytes from the pseudo-terminal at
// the pace the line would deliver them, lets the board answer, and sends the
// replies back paced to the line rate, with the configured faults.
#pragma once

#include <signal.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "tools/target-sim/pseudo_terminal.h"
#include "tools/target-sim/request_decoder.h"
#include "tools/target-sim/request_log.h"
#include "tools/target-sim/sim_options.h"
#include "tools/target-sim/decoy_terminal.h"
#include "tools/target-sim/target_board.h"

namespace sim {

class Simulator {
public:
    using Clock = std::chrono::steady_clock;

    // `link` is the --link symbolic link, moved to the new terminal after an unplug.
    Simulator(const SimOptions& options, TargetBoard& board, PseudoTerminal& terminal, SlaveLink& link,
              RequestLog& log);

    // Runs until `stop_requested` is set (checked whenever a signal interrupts
    // the wait; `wait_mask` is the signal mask during the wait), or until
    // standard input ends when the options ask for that. Returns the exit code.
    int run(const std::atomic<bool>& stop_requested, const sigset_t& wait_mask);

private:
    struct LineByte {
        Clock::time_point due;       // when the byte has fully crossed the line
        Clock::time_point received;  // when it reached the simulator (input only)
        std::uint8_t byte;
    };

    void read_master(Clock::time_point now);
    void take_due_input(Clock::time_point now);
    bool aimed_by_faults(const BoardRequest& request) const;
    void answer(const BoardRequest& request, Clock::time_point ready);
    void write_due_output(Clock::time_point now);
    void apply_due_changes(Clock::time_point now);
    void hang_up_when_due();
    void unplug_when_due(Clock::time_point now);
    void read_decoy(Clock::time_point now);
    Clock::time_point next_wake() const;

    const SimOptions& options_;
    TargetBoard& board_;
    PseudoTerminal& terminal_;
    SlaveLink& link_;
    RequestLog& log_;
    RequestDecoder decoder_;
    std::chrono::nanoseconds byte_time_;

    std::deque<LineByte> incoming_;
    std::deque<LineByte> outgoing_;
    Clock::time_point input_free_{};
    Clock::time_point output_free_{};
    bool output_blocked_ = false;
    std::string request_bytes_;
    std::vector<Clock::time_point> change_due_;
    std::uint32_t requests_ = 0;
    std::uint32_t replies_ = 0;  // answered requests the faults aim at, for --faulty-replies
    bool stdin_open_ = true;
    bool hanging_up_ = false;
    Clock::time_point last_write_{};
    std::optional<Clock::time_point> unplug_at_;  // set by the first request
    std::optional<Clock::time_point> replug_at_;
    std::uint32_t unplugs_ = 0;
    std::optional<DecoyTerminal> decoy_;  // another session's terminal, linked while unplugged
};

}  // namespace sim
