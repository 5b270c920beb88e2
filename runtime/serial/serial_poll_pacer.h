// Pacing of receive-count checks on an empty queue.
//
// The monitors wait for a reply by counting checks of the receive queue. A
// check that returned at once would make their 130 000 checks last a few
// milliseconds (less than one reply takes at 9600 bit/s) and pin a core. So a
// check that finds the queue empty waits for a byte for one poll slice on
// average, returning as soon as one arrives.
//
// A sleep on this kind of host lasts 30-90 us whatever is asked, so a pacing
// deadline keeps the average: every empty check advances the deadline by one
// slice, and the check waits only while the deadline is ahead of the clock.
// After one long wait the following checks return at once until the clock
// has caught up. Each wake-up costs several microseconds of CPU, so a check
// waits only once the deadline is a whole wait quantum ahead: one wait in
// about two hundred checks, for about two hundred slices, keeps the same average
// and brings continuous polling of a silent line to a few per cent of a core.
// A byte ends a wait at once, so the quantum adds no latency. The deadline never lags the clock by more than
// kSerialPollMaxLag, enough to absorb scheduler delays on a loaded host, so
// checks resumed after a pause are paced again after a few milliseconds' worth.
#pragma once

#include <chrono>

namespace rt {

// 130 000 empty checks take about 1.3 s: the monitors' reply time-out.
inline constexpr std::chrono::microseconds kSerialPollSlice{10};
inline constexpr std::chrono::microseconds kSerialPollWaitQuantum{2000};
inline constexpr std::chrono::microseconds kSerialPollMaxLag{5000};

class SerialPollPacer {
public:
    using Clock = std::chrono::steady_clock;

    // Called for an empty check at time `now`: advances the deadline and
    // returns how long the check may wait for a byte (zero: return at once).
    Clock::duration next_wait(Clock::time_point now) noexcept
    {
        if (deadline_ < now - kSerialPollMaxLag)
            deadline_ = now - kSerialPollMaxLag;
        deadline_ += kSerialPollSlice;
        return deadline_ - now >= kSerialPollWaitQuantum ? deadline_ - now : Clock::duration::zero();
    }

    Clock::time_point deadline() const noexcept { return deadline_; }

private:
    Clock::time_point deadline_{};
};

}  // namespace rt
