// Pacing of receive-count checks on an empty queue.
//
// The monitors wait for a reply by counting checks of the receive queue. A
// check that returned at once would make their 130 000 checks last a few
// milliseconds (less than one reply takes at 9600 bit/s) and pin a core. So
// empty checks average one poll slice each on a silent line, and a byte ends
// any wait at once.
//
// A check that finds nothing owed waits on the port, in the kernel, for up to
// one wait quantum. When the quantum runs out with no byte, that one check
// stood for the time it actually lasted: the following checks, one for each
// further slice of it, return at once without asking the port. So 200 checks
// take one 2 ms wait on a silent line, whatever each sleep oversleeps by.
// When a byte ends the wait, the wait counts as one check and the next empty
// check waits again: while a reply streams in, the program sleeps from byte
// to byte as a blocking read would, instead of spinning through checks to
// earn its next wait. The wait after a byte-ended one is a blocking read of
// up to the port's read wait (100 ms) rather than a poll of one quantum: the
// next byte of a reply is due soon and ends it, and a read costs a wake-up
// less work than a poll with a time-out. Should it run out, it stands for its
// time like any silent wait, and the waits after it are quanta again, so the
// program goes on answering its window between checks on a silent line.
// Byte-ended waits count as one check for kSerialPollForgivenBytes of them
// after a write or a silent wait, twice the longest reply; from then on a
// byte-ended wait stands for its time like a silent one, so a peer that
// streams bytes without ever ending its reply still meets the reply time-out
// after about 1.3 s.
//
// One wait stands for at most its limit plus kSerialPollMaxLag, so a wait
// stretched by a stopped or starved process does not end a reply wait at once.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace rt {

// 130 000 empty checks take about 1.3 s: the monitors' reply time-out.
inline constexpr std::chrono::microseconds kSerialPollSlice{10};
inline constexpr std::chrono::microseconds kSerialPollWaitQuantum{2000};
inline constexpr std::chrono::microseconds kSerialPollMaxLag{5000};
inline constexpr int kSerialPollForgivenBytes = 66;

class SerialPollPacer {
public:
    using Clock = std::chrono::steady_clock;

    // Whether the next wait is the port's read wait (the last one ended with a
    // byte) rather than one quantum.
    bool read_wait_due() const noexcept { return byte_ended_; }

    // An empty check: true when it returns at once, as one slice of an earlier
    // wait; false when it is to wait on the port (see read_wait_due()).
    bool take_owed_check() noexcept
    {
        if (owed_checks_ == 0)
            return false;
        --owed_checks_;
        return true;
    }

    // The waiting check, whose limit was `limit`, ended after `elapsed`, by a
    // byte or by the limit.
    void waited(Clock::duration elapsed, bool byte_arrived, Clock::duration limit = kSerialPollWaitQuantum) noexcept
    {
        byte_ended_ = byte_arrived;
        if (byte_arrived && byte_waits_ < kSerialPollForgivenBytes) {
            ++byte_waits_;
            owed_checks_ = 0;
            return;
        }
        if (!byte_arrived)
            byte_waits_ = 0;
        const std::int64_t most = (limit + kSerialPollMaxLag) / kSerialPollSlice - 1;
        const std::int64_t slices = elapsed / kSerialPollSlice;
        owed_checks_ = std::clamp<std::int64_t>(slices - 1, 0, most);
    }

    // Bytes went out: what comes back is a new reply, with a new allowance of
    // byte-ended waits.
    void sent() noexcept { byte_waits_ = 0; }

    std::int64_t owed_checks() const noexcept { return owed_checks_; }

private:
    std::int64_t owed_checks_ = 0;
    int byte_waits_ = 0;  // byte-ended waits since the last silent one or write
    bool byte_ended_ = false;  // the last wait ended with a byte
};

}  // namespace rt
