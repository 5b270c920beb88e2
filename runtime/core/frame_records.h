// The program frame's records for one running program: statement prologue
// countdown, current line, procedure frame state, event table, subroutine
// stack, error state, interval timer, termination flags. Owned by the
// Runtime; the frame operations (frame.h) work on them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "runtime/core/error_state.h"
#include "runtime/core/event_table.h"
#include "runtime/core/gosub_stack.h"
#include "runtime/core/trap_window.h"

namespace rt {

// Saved and restored as a whole when a procedure frame is entered and left.
struct FrameState {
    std::uint32_t frame = 0;           // 0 = main program, else a number unique among running frames
    std::function<void()> trap;        // error handler set by ON_ERROR_GOTO; empty = no trap
};

// The host has no help file: opening help records the context number that
// would have been shown, and closing it clears the open mark.
struct HelpViewerState {
    std::uint32_t last_context = 0;
    bool open = false;
};

class FrameRecords {
public:
    explicit FrameRecords(std::uint32_t pump_interval_n) noexcept : pump_interval(pump_interval_n) {}

    // Statement prologue: pumps when the countdown is 0, then reloads it with N.
    std::uint32_t pump_countdown = 0;
    std::uint32_t pump_interval;

    std::uint16_t line = 0;
    FrameState state;
    std::vector<FrameState> callers;  // states of the frames below the current one, main program first
    std::uint32_t last_frame_number = 0;
    EventTable events;
    GosubStack gosub;
    std::uint16_t handler_depth = 0;  // event subroutines running
    bool skip_once = false;           // an event subroutine was just entered
    ErrorState error;

    // Interval timer (event 27): interval 0 = not set yet.
    std::uint32_t timer_interval = 0;
    std::uint32_t timer_ticks = 0;
    std::unique_ptr<TrapWindow> trap_window;

    HelpViewerState help;

    bool end_flag = false;     // set by END, a break and a fatal error
    bool terminating = false;  // errors raised from now on are not reported
    int exit_code = 0;
};

}  // namespace rt
