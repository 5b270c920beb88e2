// The bridge's event loop. The simulation advances in steps paced to real
// time: while the line is quiet it trails real time by at most a short
// interval; bytes from the client are given to the PIC's receive pin at the
// simulated moment they arrived (the simulation first catches up); while a
// reply is due it runs ahead, and a breakpoint on the reply's closing CR
// ends the step there, so the whole reply is passed to the pseudo-terminal
// at the real moment its last byte has crossed the simulated line.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

#include "tools/gpsim-bridge/bridge_options.h"
#include "tools/gpsim-bridge/gpsim_console.h"
#include "tools/target-sim/pseudo_terminal.h"
#include "tools/gpsim-bridge/real_time_pacer.h"

namespace bridge {

// What a run measured, for --report.
struct BridgeReport {
    double real_seconds = 0;       // since the simulation was first in step
    double simulated_seconds = 0;  // simulated time over the same stretch
    double worst_lag_ms = 0;       // furthest the simulation trailed real time when a client byte arrived
    double gpsim_cpu_seconds = 0;  // gpsim's processor time over the stretch
    double bridge_cpu_seconds = 0;
    std::uint64_t steps = 0;
    std::uint64_t restarts = 0;    // stalls after which pacing started again
    std::uint64_t bytes_in = 0;    // to the PIC
    std::uint64_t bytes_out = 0;   // from the PIC
    std::uint64_t reply_ends = 0;  // CR bytes from the PIC
    std::uint64_t exchanges = 0;   // requests answered: first byte in to the reply's CR out
    double exchange_ms_total = 0;
};

class Bridge {
public:
    using Clock = RealTimePacer::Clock;

    // Starts gpsim with the firmware; throws std::runtime_error when the
    // firmware does not run.
    explicit Bridge(const BridgeOptions& options);

    const std::string& slave_path() const noexcept { return terminal_.slave_path(); }

    // Runs until a signal arrives on `signal_fd` (a signalfd); gpsim ending
    // or failing is an exception.
    void run(int signal_fd);

    BridgeReport report() const;

private:
    struct Release {
        Clock::time_point at;
        std::string bytes;
    };

    void advance(Clock::time_point now);
    // Runs to `cycle` (and on past a reply's CR until it has been sent);
    // what the PIC sent is passed on when real time reaches the step's end.
    void run_to(std::uint64_t cycle);
    void give_client_bytes_to_pic();
    // Waits for the next thing to do; false when a stop signal came.
    bool wait(int signal_fd);
    void read_client();
    void write_due_output(Clock::time_point now);

    BridgeOptions options_;
    double cycles_per_second_;
    std::uint64_t byte_cycles_;  // one character (10 bits) on the line
    GpsimConsole console_;
    sim::PseudoTerminal terminal_;
    RealTimePacer pacer_;

    std::string inbox_;                // client bytes the PIC has not been given yet
    std::deque<Release> releases_;     // PIC bytes and when the client gets them
    std::string unwritten_;            // released bytes the terminal has not taken
    bool reply_due_ = false;           // the PIC got bytes and has not ended a reply since
    std::uint64_t input_end_cycle_ = 0;  // when the bytes given to the PIC have all arrived
    std::optional<Clock::time_point> exchange_start_;  // the first byte of a request not answered yet

    Clock::time_point started_{};
    std::uint64_t start_cycle_ = 0;
    double gpsim_cpu_at_start_ = 0;
    double bridge_cpu_at_start_ = 0;
    BridgeReport report_;
};

}  // namespace bridge
