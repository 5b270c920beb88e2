// The event table: 45 entries indexed by event number, each with a handler
// and the armed / held / pending flags, and the queue of pending events in
// arrival order.
//
// raise() and flags() may be called from any thread (serial readers raise
// arrival events and ask whether they are armed); everything else runs on
// the program thread. The flags and the
// queue are guarded by one mutex; attention() is a lock-free hint, true while
// a user break is pending or a queued event could be dispatched, so that the
// statement prologue pays one relaxed load when nothing is due.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace rt {

class EventTable {
public:
    using Handler = std::function<void()>;
    static constexpr int kEntries = 45;     // event numbers 1..44 (0 unused)
    static constexpr int kQueueSize = 45;
    static constexpr int kBreakEvent = 1;

    static constexpr std::uint16_t kArmed = 1;
    static constexpr std::uint16_t kHeld = 2;
    static constexpr std::uint16_t kPending = 4;

    static constexpr bool valid(int event) noexcept { return event >= 1 && event < kEntries; }

    // Any thread. The user break is only marked; any other armed event that is
    // not yet pending is marked and queued while the queue has room. Other
    // occurrences are dropped, so several before a dispatch count as one.
    // Invalid numbers are ignored.
    void raise(int event) noexcept;

    bool attention() const noexcept { return attention_.load(std::memory_order_relaxed); }

    std::uint16_t flags(int event) const;
    // Event numbers in the queue, oldest first.
    std::vector<int> queued() const;

    // Sets the handler and leaves the event unarmed, not pending and held.
    void set_handler(int event, Handler handler);
    bool has_handler(int event) const noexcept { return valid(event) && static_cast<bool>(handlers_[event]); }
    // A copy, so that the handler may replace itself while it runs.
    Handler handler(int event) const { return valid(event) ? handlers_[event] : Handler{}; }

    void arm(int event);      // ON: armed, not held; then tells the arm listener
    void hold(int event);     // STOP: held; occurrences are queued but not dispatched
    void disarm(int event);   // OFF: neither armed nor pending
    void release(int event);  // end of the event's subroutine: not held

    // A pending user break: clears its mark, empties the queue (the queued
    // events lose their pending marks too) and returns true.
    bool take_break();
    // The first queued event that is armed, not held and pending: clears its
    // pending mark, marks it held, removes it from the queue and returns its
    // number; 0 when there is none.
    int take_next_due();

    // Termination: every handler is dropped and every flag cleared.
    void clear();

    // Program thread: called with the event number whenever an event is armed
    // (serial channels start watching their port for arrivals then).
    void set_arm_listener(std::function<void(int event)> listener) { arm_listener_ = std::move(listener); }

private:
    void remove_from_queue(int event);  // caller holds the lock
    void update_attention();            // caller holds the lock

    mutable std::mutex mutex_;
    std::array<std::uint16_t, kEntries> flags_{};
    std::array<std::uint16_t, kQueueSize> queue_{};
    int queue_count_ = 0;
    std::atomic<bool> attention_{false};
    std::array<Handler, kEntries> handlers_;  // program thread only
    std::function<void(int event)> arm_listener_;  // program thread only
};

}  // namespace rt
