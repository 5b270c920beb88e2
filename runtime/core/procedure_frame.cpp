#include "runtime/core/error_trap.h"
#include "runtime/core/frame.h"
#include "runtime/core/frame_records.h"
#include "runtime/core/runtime.h"

namespace rt {

namespace {

namespace site {
inline constexpr std::uint16_t kLeftWithHandler = 0xF101;
}  // namespace site

}  // namespace

void call_procedure(const std::function<void()>& body)
{
    FrameRecords& f = Runtime::current().frame();
    ErrorState& e = f.error;
    const std::uint32_t frame = ++f.last_frame_number;
    f.callers.push_back(std::move(f.state));
    f.state = FrameState{frame, {}};
    auto leave = [&f] {
        f.state = std::move(f.callers.back());
        f.callers.pop_back();
    };
    try {
        body();
    } catch (const RuntimeError&) {
        leave();
        if (e.leaving_handler_frame && e.handler_frame == frame)
            e.leaving_handler_frame = false;  // the handler's frame is left: the caller's trap decides
        throw;
    } catch (...) {
        leave();
        throw;
    }
    leave();
    if (e.in_handler && e.handler_frame == frame) {
        e.in_handler = false;
        e.handler_frame = 0;
        RAISE_ERROR(err::kFrameLeftInHandler, site::kLeftWithHandler);
    }
}

}  // namespace rt
