#include "runtime/core/event_table.h"

#include <algorithm>

namespace rt {

void EventTable::raise(int event) noexcept
{
    if (!valid(event))
        return;
    std::lock_guard lock(mutex_);
    std::uint16_t& f = flags_[event];
    if (!(f & kArmed) || (f & kPending))
        return;
    if (event != kBreakEvent) {
        if (queue_count_ >= kQueueSize)
            return;
        queue_[queue_count_++] = static_cast<std::uint16_t>(event);
    }
    f |= kPending;
    update_attention();
}

std::uint16_t EventTable::flags(int event) const
{
    if (!valid(event))
        return 0;
    std::lock_guard lock(mutex_);
    return flags_[event];
}

std::vector<int> EventTable::queued() const
{
    std::lock_guard lock(mutex_);
    return std::vector<int>(queue_.begin(), queue_.begin() + queue_count_);
}

void EventTable::set_handler(int event, Handler handler)
{
    if (!valid(event))
        return;
    handlers_[event] = std::move(handler);
    std::lock_guard lock(mutex_);
    remove_from_queue(event);
    flags_[event] = kHeld;
    update_attention();
}

void EventTable::arm(int event)
{
    if (!valid(event))
        return;
    {
        std::lock_guard lock(mutex_);
        flags_[event] = static_cast<std::uint16_t>((flags_[event] | kArmed) & ~kHeld);
        update_attention();
    }
    if (arm_listener_)
        arm_listener_(event);
}

void EventTable::hold(int event)
{
    if (!valid(event))
        return;
    std::lock_guard lock(mutex_);
    flags_[event] |= kHeld;
    update_attention();
}

// A pending mark always comes with a queue entry (except the user break), so
// clearing one removes the other: no stale entry takes a queue slot.
void EventTable::disarm(int event)
{
    if (!valid(event))
        return;
    std::lock_guard lock(mutex_);
    remove_from_queue(event);
    flags_[event] = static_cast<std::uint16_t>(flags_[event] & ~(kArmed | kPending));
    update_attention();
}

void EventTable::release(int event)
{
    if (!valid(event))
        return;
    std::lock_guard lock(mutex_);
    flags_[event] = static_cast<std::uint16_t>(flags_[event] & ~kHeld);
    update_attention();
}

bool EventTable::take_break()
{
    std::lock_guard lock(mutex_);
    if (!(flags_[kBreakEvent] & kPending))
        return false;
    flags_[kBreakEvent] = static_cast<std::uint16_t>(flags_[kBreakEvent] & ~kPending);
    for (int i = 0; i < queue_count_; ++i)
        flags_[queue_[i]] = static_cast<std::uint16_t>(flags_[queue_[i]] & ~kPending);
    queue_count_ = 0;
    update_attention();
    return true;
}

int EventTable::take_next_due()
{
    std::lock_guard lock(mutex_);
    for (int i = 0; i < queue_count_; ++i) {
        const int event = queue_[i];
        std::uint16_t& f = flags_[event];
        if ((f & (kArmed | kHeld | kPending)) == (kArmed | kPending)) {
            f = static_cast<std::uint16_t>((f & ~kPending) | kHeld);
            remove_from_queue(event);
            update_attention();
            return event;
        }
    }
    return 0;
}

void EventTable::clear()
{
    for (Handler& h : handlers_)
        h = nullptr;
    std::lock_guard lock(mutex_);
    flags_.fill(0);
    queue_count_ = 0;
    update_attention();
}

void EventTable::remove_from_queue(int event)
{
    auto end = std::remove(queue_.begin(), queue_.begin() + queue_count_, static_cast<std::uint16_t>(event));
    queue_count_ = static_cast<int>(end - queue_.begin());
}

void EventTable::update_attention()
{
    bool due = flags_[kBreakEvent] & kPending;
    for (int i = 0; i < queue_count_ && !due; ++i)
        due = (flags_[queue_[i]] & (kArmed | kHeld | kPending)) == (kArmed | kPending);
    attention_.store(due, std::memory_order_relaxed);
}

}  // namespace rt
