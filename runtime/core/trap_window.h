// The trap window: a hidden window, created the first time the interval
// timer is switched on, that receives the one-second timer driving the timer
// event. Its timer messages are made only while messages are pumped, so
// ticks are counted only then.
#pragma once

#include <cstdint>
#include <functional>

#include "host/desktop.h"

namespace rt {

class TrapWindow {
public:
    static constexpr std::uint32_t kTimerId = 26;
    static constexpr std::chrono::milliseconds kTick{1000};

    // Creates the window; `on_tick` runs for each of its timer messages.
    TrapWindow(host::Desktop& desktop, std::function<void()> on_tick);
    ~TrapWindow();
    TrapWindow(const TrapWindow&) = delete;
    TrapWindow& operator=(const TrapWindow&) = delete;

    host::WindowId id() const noexcept { return id_; }
    void start_timer();
    void stop_timer();

private:
    host::Desktop& desktop_;
    host::WindowId id_ = 0;
};

}  // namespace rt
