// Whether the replies on the link can be trusted, and how to prove it again.
//
// The protocol has no framing, but a board answers requests in order. While
// the link is in step, the next reply is the answer to the last request.
// After a fault (a wait that gave up, a malformed reply, bytes that came
// unasked, a line that went away and came back) it is unsure: older replies
// may still be on their way, and any of them could pass for the answer to a
// new request. The link then sends one resynchronising read whose reply has
// a length that no request still possibly unanswered can produce, and drops
// every reply until that exact one comes: the board answers in order, so
// every older reply has then been seen.
//
// This record keeps the lengths of the requests that may still be answered
// and picks the resynchronising read. Plain logic: the link feeds it.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "monitors/monitor_shared/reply_wait.h"

namespace monitor {

// Reads of 1 to 15 bytes resynchronise (16 is what every dump row asks).
inline constexpr std::uint8_t kLongestResyncRead = 15;
// More requests than this possibly unanswered: no further one is sent; the
// link waits for the board to answer those it has.
inline constexpr std::size_t kMostUnanswered = 8;
// A board that has sent nothing for this long after that many requests has
// lost them (reset, or its line was cut): they are forgotten.
inline constexpr std::chrono::seconds kUnansweredForgotten{10};

class LineSync {
public:
    using Clock = std::chrono::steady_clock;

    bool in_step() const noexcept { return in_step_; }

    // A request went out whose reply, when it comes, has `digits` characters
    // (nothing: the board may not answer it).
    void request_sent(std::optional<std::size_t> digits, Clock::time_point now);
    // The reply to the last request came, well formed, while in step.
    void answered() noexcept { unanswered_.clear(); }
    // A read failed; `inside_reply`: the rest of a reply is still to come,
    // so the next reply to arrive is a fragment that proves nothing.
    void fault(bool inside_reply) noexcept;
    // Bytes arrived (the board is alive).
    void bytes_arrived(Clock::time_point now) noexcept { last_arrival_ = now; }
    // The line went away and came back: what was asked before is lost.
    void line_renewed() noexcept;

    // The byte count of the next resynchronising read (1..15), whose reply
    // length no unanswered request shares; nothing while too many are
    // unanswered (then the last one sent is still awaited).
    std::optional<std::uint8_t> resync_count(Clock::time_point now);
    void resync_sent(std::uint8_t count, Clock::time_point now);
    // Whether a resynchronising read is on its way.
    bool resync_awaited() const noexcept { return awaited_digits_ != 0; }
    // A complete reply seen while unsure; true (and in step again) when it
    // is the awaited resynchronising reply.
    bool proves_in_step(const ReplyText& reply) noexcept;

private:
    struct Unanswered {
        std::size_t digits;
        Clock::time_point sent;
    };
    bool length_unanswered(std::size_t digits) const noexcept;

    std::vector<Unanswered> unanswered_;
    Clock::time_point last_arrival_{};
    std::size_t awaited_digits_ = 0;  // the resynchronising reply's length; 0: none sent
    bool in_step_ = true;
    bool fragment_next_ = false;
};

}  // namespace monitor

namespace monitor {

// The length of the reply a board gives to `request` (argument digits, then
// the code byte): reads and writes of n bytes 2n digits, bit and port
// commands 2; nothing for a request the board does not answer.
std::optional<std::size_t> reply_length_of(std::string_view request);

}  // namespace monitor
