// The two reply readers as state machines over queue checks: each call to
// `pass` is one pass of the reader's loop; it calls `take_byte()` (the byte
// taken from the receive queue, or nothing when the queue is empty) when the
// pass looks at the queue. The reply is the text before the first
// byte below "0"; that byte is dropped. A reply keeps at most its first 32
// characters (the longest valid reply); the rest up to the end byte is read
// and dropped, so no reply can spill over the screen.
//
// The command reader (typed commands, dump rows) counts every check and gives
// up on the 129 999th; the watch reader (watch pages, change log) counts only
// empty checks and gives up after 10 000 of them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "monitors/monitor_shared/protocol.h"

namespace monitor {

enum class ReplyState { Waiting, Complete, TimedOut };

class CommandReplyWait {
public:
    template <class TakeByte>
    ReplyState pass(TakeByte&& take_byte)
    {
        if (state_ != ReplyState::Waiting)
            return state_;
        if (--counter_ == 0) {
            reply_.clear();
            return state_ = ReplyState::TimedOut;
        }
        return accept(take_byte());
    }
    const std::string& reply() const noexcept { return reply_; }
    // How a complete reply ended: its end byte, and whether digits beyond the
    // longest valid reply were dropped.
    std::uint8_t end_byte() const noexcept { return end_byte_; }
    bool cut() const noexcept { return cut_; }

private:
    ReplyState accept(std::optional<std::uint8_t> byte);
    std::uint32_t counter_ = kCommandReplyPasses;
    std::string reply_;
    ReplyState state_ = ReplyState::Waiting;
    std::uint8_t end_byte_ = 0;
    bool cut_ = false;
};

class WatchReplyWait {
public:
    template <class TakeByte>
    ReplyState pass(TakeByte&& take_byte)
    {
        if (state_ != ReplyState::Waiting)
            return state_;
        return accept(take_byte());
    }
    const std::string& reply() const noexcept { return reply_; }
    // True once any byte has arrived (the watch refresh clears the link fault then).
    bool byte_seen() const noexcept { return byte_seen_; }
    std::uint8_t end_byte() const noexcept { return end_byte_; }
    bool cut() const noexcept { return cut_; }

private:
    ReplyState accept(std::optional<std::uint8_t> byte);
    std::uint32_t counter_ = kWatchReplyIdleChecks;
    std::string reply_;
    ReplyState state_ = ReplyState::Waiting;
    bool byte_seen_ = false;
    std::uint8_t end_byte_ = 0;
    bool cut_ = false;
};

// The reply contained in `received`: the text before the first byte below "0",
// or nothing when no such byte has arrived yet.
std::optional<std::string_view> complete_reply(std::string_view received);

}  // namespace monitor
