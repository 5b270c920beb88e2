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
//
// Each reader also tells whether its reply is well formed (whole pairs of
// hexadecimal digits ended by CR, the dropped ones included) and whether it
// gave up in the middle of a reply, so the link can tell a value from a
// fault.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "monitors/monitor_shared/protocol.h"

namespace monitor {

enum class ReplyState { Waiting, Complete, TimedOut };

// The text of one reply as its bytes arrive.
class ReplyText {
public:
    // Takes one byte; true when it ended the reply.
    bool take(std::uint8_t byte);
    void clear() noexcept { *this = ReplyText{}; }

    const std::string& kept() const noexcept { return kept_; }
    std::size_t length() const noexcept { return length_; }  // characters received, the dropped ones too
    bool cut() const noexcept { return length_ > kReplyDigitsMax; }
    bool started() const noexcept { return length_ > 0; }
    std::uint8_t end_byte() const noexcept { return end_byte_; }
    // At least one pair of hexadecimal digits, only whole pairs, ended by CR.
    bool well_formed() const noexcept;

private:
    std::string kept_;
    std::size_t length_ = 0;
    bool non_hex_ = false;
    std::uint8_t end_byte_ = 0;
};

class CommandReplyWait {
public:
    template <class TakeByte>
    ReplyState pass(TakeByte&& take_byte)
    {
        if (state_ != ReplyState::Waiting)
            return state_;
        if (--counter_ == 0) {
            partial_ = text_.started();
            text_.clear();
            return state_ = ReplyState::TimedOut;
        }
        return accept(take_byte());
    }
    const std::string& reply() const noexcept { return text_.kept(); }
    // How a complete reply ended: its end byte, and whether digits beyond the
    // longest valid reply were dropped.
    std::uint8_t end_byte() const noexcept { return text_.end_byte(); }
    bool cut() const noexcept { return text_.cut(); }
    bool well_formed() const noexcept { return state_ == ReplyState::Complete && text_.well_formed(); }
    std::size_t length() const noexcept { return text_.length(); }
    // The wait gave up after part of a reply had come: its rest is still on its way.
    bool gave_up_inside_reply() const noexcept { return partial_; }

private:
    ReplyState accept(std::optional<std::uint8_t> byte);
    std::uint32_t counter_ = kCommandReplyPasses;
    ReplyText text_;
    ReplyState state_ = ReplyState::Waiting;
    bool partial_ = false;
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
    const std::string& reply() const noexcept { return text_.kept(); }
    // True once any byte has arrived (the watch refresh clears the link fault then).
    bool byte_seen() const noexcept { return byte_seen_; }
    std::uint8_t end_byte() const noexcept { return text_.end_byte(); }
    bool cut() const noexcept { return text_.cut(); }
    bool well_formed() const noexcept { return state_ == ReplyState::Complete && text_.well_formed(); }
    bool gave_up_inside_reply() const noexcept { return state_ == ReplyState::TimedOut && text_.started(); }

private:
    ReplyState accept(std::optional<std::uint8_t> byte);
    std::uint32_t counter_ = kWatchReplyIdleChecks;
    ReplyText text_;
    ReplyState state_ = ReplyState::Waiting;
    bool byte_seen_ = false;
};

// The reply contained in `received`: the text before the first byte below "0",
// or nothing when no such byte has arrived yet.
std::optional<std::string_view> complete_reply(std::string_view received);

}  // namespace monitor
