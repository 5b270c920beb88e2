// The key queue of a console window: 256 one-byte entries with 8-bit read and
// write indexes, so it holds at most 255 keys; and the Shift/Ctrl flags.
//
// A function key pressed while typed keys still wait is held in the queue
// behind them: its event is raised once the keys typed before it have been
// read (or the queue is emptied), so the keys typed after it go where the
// key's event leads (a prompt) and not to whatever read the keys before it.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

namespace rt::console {

inline constexpr std::uint8_t kShiftDown = 0x01;
inline constexpr std::uint8_t kCtrlDown = 0x02;

class KeyQueue {
public:
    // `raise_held_event` raises an event that was held behind typed keys;
    // without it nothing is held.
    explicit KeyQueue(std::function<void(int event)> raise_held_event = {})
        : raise_held_event_(std::move(raise_held_event))
    {
    }

    bool empty() const noexcept { return read_ == write_; }
    int size() const noexcept { return static_cast<std::uint8_t>(write_ - read_); }
    // False (and nothing stored) when the queue is full.
    bool push(std::uint8_t code) noexcept;
    // Raises the held events whose keys before them have now been read.
    std::optional<std::uint8_t> pop();
    std::optional<std::uint8_t> peek() const noexcept;
    // Drops the waiting keys; the held events are raised.
    void clear();

    // Holds `event` until the keys now waiting have been read. False (nothing
    // held) when no key waits, no raise function was given or 16 events are
    // already held: the caller raises the event itself.
    bool hold_event_behind_keys(int event) noexcept;

    std::uint8_t shift_flags = 0;

private:
    struct HeldEvent {
        int event = 0;
        std::uint8_t raised_at = 0;  // the read index at which it is raised
    };
    static constexpr std::size_t kHeldEventsMax = 16;

    void raise_due_events();

    std::uint8_t read_ = 0;
    std::uint8_t write_ = 0;
    std::array<std::uint8_t, 256> entries_{};
    std::function<void(int event)> raise_held_event_;
    std::array<HeldEvent, kHeldEventsMax> held_{};
    std::size_t held_count_ = 0;
};

}  // namespace rt::console
