#include "monitors/monitor_shared/reply_wait.h"

namespace monitor {

ReplyState CommandReplyWait::accept(std::optional<std::uint8_t> byte)
{
    if (!byte)
        return state_;
    if (*byte < kReplyEndBelow) {
        end_byte_ = *byte;
        return state_ = ReplyState::Complete;
    }
    if (reply_.size() < kReplyDigitsMax)
        reply_.push_back(static_cast<char>(*byte));
    else
        cut_ = true;
    return state_;
}

ReplyState WatchReplyWait::accept(std::optional<std::uint8_t> byte)
{
    if (!byte) {
        if (--counter_ == 0)
            state_ = ReplyState::TimedOut;
        return state_;
    }
    byte_seen_ = true;
    if (*byte < kReplyEndBelow) {
        end_byte_ = *byte;
        return state_ = ReplyState::Complete;
    }
    if (reply_.size() < kReplyDigitsMax)
        reply_.push_back(static_cast<char>(*byte));
    else
        cut_ = true;
    return state_;
}

std::optional<std::string_view> complete_reply(std::string_view received)
{
    for (std::size_t i = 0; i < received.size(); ++i)
        if (static_cast<std::uint8_t>(received[i]) < kReplyEndBelow)
            return received.substr(0, i);
    return std::nullopt;
}

}  // namespace monitor
