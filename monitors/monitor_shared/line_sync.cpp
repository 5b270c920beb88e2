#include "monitors/monitor_shared/line_sync.h"

#include <algorithm>

namespace monitor {

void LineSync::request_sent(std::optional<std::size_t> digits, Clock::time_point now)
{
    if (!in_step_ || !digits)
        return;  // while unsure only resynchronising reads go out
    unanswered_.clear();  // in step: every earlier reply has been taken
    unanswered_.push_back({*digits, now});
}

void LineSync::fault(bool inside_reply) noexcept
{
    in_step_ = false;
    fragment_next_ = fragment_next_ || inside_reply;
}

void LineSync::line_renewed() noexcept
{
    unanswered_.clear();
    awaited_digits_ = 0;
    in_step_ = false;
    fragment_next_ = false;
}

bool LineSync::length_unanswered(std::size_t digits) const noexcept
{
    return std::any_of(unanswered_.begin(), unanswered_.end(),
                       [digits](const Unanswered& u) { return u.digits == digits; });
}

std::optional<std::uint8_t> LineSync::resync_count(Clock::time_point now)
{
    if (unanswered_.size() >= kMostUnanswered) {
        const Clock::time_point last_sent = unanswered_.back().sent;
        if (now - std::max(last_sent, last_arrival_) < kUnansweredForgotten)
            return std::nullopt;
        unanswered_.clear();
        awaited_digits_ = 0;
    }
    for (std::uint8_t count = 1; count <= kLongestResyncRead; ++count)
        if (!length_unanswered(2u * count))
            return count;
    return std::nullopt;
}

void LineSync::resync_sent(std::uint8_t count, Clock::time_point now)
{
    awaited_digits_ = 2u * count;
    unanswered_.push_back({awaited_digits_, now});
}

bool LineSync::proves_in_step(const ReplyText& reply) noexcept
{
    if (fragment_next_) {  // the rest of a reply whose start was missed
        fragment_next_ = reply.end_byte() != 0x0D;
        return false;
    }
    if (awaited_digits_ == 0 || !reply.well_formed() || reply.length() != awaited_digits_)
        return false;
    in_step_ = true;
    awaited_digits_ = 0;
    unanswered_.clear();
    return true;
}

}  // namespace monitor

namespace monitor {

std::optional<std::size_t> reply_length_of(std::string_view request)
{
    if (request.empty())
        return std::nullopt;
    const auto code = static_cast<std::uint8_t>(request.back());
    const std::size_t digits = request.size() - 1;
    if (code < code::kRead16) {
        const std::size_t count = code + 1u;
        if (digits == 4 + 2 * count)
            return 2 * count;  // a write answers with the bytes written
        if (code >= code::kFirstSizedRead && digits == 4)
            return 2u * (code - code::kFirstSizedRead + 1u);
        return std::nullopt;
    }
    if (code == code::kRead16)
        return digits >= 4 ? std::optional<std::size_t>(32) : std::nullopt;
    if (code <= code::kPortBitHigh)
        return 2;
    return std::nullopt;
}

}  // namespace monitor
