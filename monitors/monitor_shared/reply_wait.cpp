#include "monitors/monitor_shared/reply_wait.h"

namespace monitor {

namespace {
constexpr std::uint8_t kCarriageReturn = 0x0D;

bool is_hex_digit(std::uint8_t c) noexcept
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
}  // namespace

bool ReplyText::take(std::uint8_t byte)
{
    if (byte < kReplyEndBelow) {
        end_byte_ = byte;
        return true;
    }
    ++length_;
    non_hex_ = non_hex_ || !is_hex_digit(byte);
    if (kept_.size() < kReplyDigitsMax)
        kept_.push_back(static_cast<char>(byte));
    return false;
}

bool ReplyText::well_formed() const noexcept
{
    return end_byte_ == kCarriageReturn && !non_hex_ && length_ > 0 && length_ % 2 == 0;
}

ReplyState CommandReplyWait::accept(std::optional<std::uint8_t> byte)
{
    if (byte && text_.take(*byte))
        state_ = ReplyState::Complete;
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
    if (text_.take(*byte))
        state_ = ReplyState::Complete;
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
