#include "runtime/console/key_queue.h"

#include <algorithm>

namespace rt::console {

bool KeyQueue::push(std::uint8_t code) noexcept
{
    const auto next = static_cast<std::uint8_t>(write_ + 1);
    if (next == read_)
        return false;
    entries_[write_] = code;
    write_ = next;
    return true;
}

std::optional<std::uint8_t> KeyQueue::pop()
{
    if (empty())
        return std::nullopt;
    const std::uint8_t code = entries_[read_++];
    raise_due_events();
    return code;
}

std::optional<std::uint8_t> KeyQueue::peek() const noexcept
{
    if (empty())
        return std::nullopt;
    return entries_[read_];
}

void KeyQueue::clear()
{
    read_ = write_;
    raise_due_events();
}

bool KeyQueue::hold_event_behind_keys(int event) noexcept
{
    if (empty() || !raise_held_event_ || held_count_ == held_.size())
        return false;
    held_[held_count_++] = HeldEvent{event, write_};
    return true;
}

// Held events are in press order, and the queue holds fewer than 256 keys, so
// the read index meets each one's index exactly when the keys before it are read.
void KeyQueue::raise_due_events()
{
    std::size_t due = 0;
    while (due < held_count_ && (held_[due].raised_at == read_ || empty()))
        ++due;
    if (due == 0)
        return;
    const std::array<HeldEvent, kHeldEventsMax> raised = held_;
    std::copy(held_.begin() + static_cast<std::ptrdiff_t>(due), held_.begin() + static_cast<std::ptrdiff_t>(held_count_),
              held_.begin());
    held_count_ -= due;
    for (std::size_t i = 0; i < due; ++i)
        raise_held_event_(raised[i].event);
}

}  // namespace rt::console
