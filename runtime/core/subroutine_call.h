// GOSUB and event subroutine calls: the subroutine stack entry, the saved
// line number, and the event's release when the subroutine ends.
#pragma once

#include <cstdint>
#include <functional>

#include "runtime/core/frame_records.h"

namespace rt {

// Thrown by RETURN; caught by the call that pushed the innermost entry.
struct ReturnSignal {};

namespace detail {

// Calls `target` as a subroutine started by `event` (GosubStack::kPlainGosub
// for GOSUB). Raises 32 when 128 subroutines are running.
void run_subroutine(FrameRecords& f, std::int16_t event, const std::function<void()>& target);
// Runs the handler of `event`, which the event table has just marked held.
void run_event_subroutine(FrameRecords& f, int event);
// RETURN: raises 3 without a subroutine of the current frame, else ends it.
[[noreturn]] void return_from_subroutine(FrameRecords& f);

}  // namespace detail
}  // namespace rt
