// Keeps the simulated PIC in step with real time: the instruction cycle the
// simulation is due to reach at a moment of real time, and back.
#pragma once

#include <chrono>
#include <cstdint>

namespace bridge {

class RealTimePacer {
public:
    using Clock = std::chrono::steady_clock;

    // `cycles_per_second`: instruction cycles (a quarter of the crystal).
    RealTimePacer(double cycles_per_second, Clock::time_point start, std::uint64_t start_cycle)
        : cycles_per_second_(cycles_per_second), start_(start), start_cycle_(start_cycle)
    {
    }

    // The cycle due at real time `moment`.
    std::uint64_t target(Clock::time_point moment) const
    {
        const double seconds = std::chrono::duration<double>(moment - start_).count();
        return start_cycle_ + static_cast<std::uint64_t>(seconds * cycles_per_second_);
    }

    // The real time at which the simulation's `cycle` is due.
    Clock::time_point due(std::uint64_t cycle) const
    {
        const double seconds = static_cast<double>(cycle - start_cycle_) / cycles_per_second_;
        return start_ + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    }

    // Starts counting again from (`now`, `cycle`): after a stall the
    // simulation goes on from where it was instead of racing to catch up.
    void restart(Clock::time_point now, std::uint64_t cycle)
    {
        start_ = now;
        start_cycle_ = cycle;
    }

private:
    double cycles_per_second_;
    Clock::time_point start_;
    std::uint64_t start_cycle_;
};

}  // namespace bridge
