#include "runtime/core/frame.h"

#include "host/desktop.h"
#include "runtime/core/fatal_report.h"
#include "runtime/core/frame_records.h"
#include "runtime/core/runtime.h"
#include "runtime/core/subroutine_call.h"

namespace rt {

namespace {

// Site codes of the frame's checks (operation << 8 | check index).
namespace site {
constexpr std::uint16_t kOnKeyGosubKey = 0xD401;
constexpr std::uint16_t kKeyCtrlKey = 0xD501;
constexpr std::uint16_t kKeyCtrlHandler = 0xD502;
constexpr std::uint16_t kKeyCtrlControl = 0xD503;
constexpr std::uint16_t kTimerIntervalArmed = 0xD601;
constexpr std::uint16_t kTimerIntervalRange = 0xD602;
constexpr std::uint16_t kOnTimerGosubInterval = 0xD701;
constexpr std::uint16_t kTimerCtrlInterval = 0xD801;
constexpr std::uint16_t kTimerCtrlHandler = 0xD802;
constexpr std::uint16_t kTimerCtrlControl = 0xD803;
constexpr std::uint16_t kTimerCtrlWindow = 0xD804;
constexpr std::uint16_t kTimerCtrlStart = 0xD805;
}  // namespace site

enum Control { Off = 0, On = 1, Stop = 2 };

FrameRecords& records()
{
    return Runtime::current().frame();
}

[[noreturn]] void terminate_with_stored_code(FrameRecords& f)
{
    throw ProgramTermination{f.exit_code};
}

// Event polling of the prologue: a pending user break first, then the first
// queued event that may run, as a subroutine.
void poll_events(FrameRecords& f)
{
    if (f.events.take_break()) {
        run_break_routine();
        return;
    }
    if (f.skip_once) {
        f.skip_once = false;
        return;
    }
    if (const int event = f.events.take_next_due())
        detail::run_event_subroutine(f, event);
}

void timer_tick(FrameRecords& f)
{
    if (!(f.events.flags(kEventTimer) & EventTable::kArmed))
        return;
    if (++f.timer_ticks >= f.timer_interval) {
        f.timer_ticks = 0;
        f.events.raise(kEventTimer);
    }
}

void apply_control(FrameRecords& f, int event, int control)
{
    switch (control) {
    case On:
        f.events.arm(event);
        break;
    case Stop:
        f.events.hold(event);
        break;
    default:
        f.events.disarm(event);
        break;
    }
}

void dispatch_or_terminate(host::Desktop& desktop, const host::Message& m)
{
    if (m.kind == host::MessageKind::Quit)
        terminate_with_stored_code(records());
    desktop.dispatch(m);
}

}  // namespace

void STMT()
{
    FrameRecords& f = records();
    if (f.pump_countdown == 0) [[unlikely]] {
        f.pump_countdown = f.pump_interval;
        pump_messages();
    } else {
        --f.pump_countdown;
    }
    if (f.events.attention()) [[unlikely]]
        poll_events(f);
    else
        f.skip_once = false;
}

void run_due_events()
{
    FrameRecords& f = records();
    if (f.events.attention())
        poll_events(f);
}

void SETLINE(std::uint16_t line)
{
    records().line = line;
}

std::uint16_t GET_LINE()
{
    return records().line;
}

void GOSUB(const Subroutine& target)
{
    detail::run_subroutine(records(), GosubStack::kPlainGosub, target);
}

void RETURN()
{
    detail::return_from_subroutine(records());
}

void END(std::uint16_t exit_code)
{
    FrameRecords& f = records();
    f.end_flag = true;
    f.exit_code = exit_code;
    throw ProgramTermination{f.exit_code};
}

void ON_KEY_GOSUB(int key, Subroutine handler)
{
    if (key < 1 || key > 12)
        RAISE_ERROR(err::kIllegalArgument, site::kOnKeyGosubKey);
    records().events.set_handler(kEventKey1 + key - 1, std::move(handler));
}

void KEY_CTRL(int key, int control)
{
    FrameRecords& f = records();
    if (key < 1 || key > 12)
        RAISE_ERROR(err::kIllegalArgument, site::kKeyCtrlKey);
    const int event = kEventKey1 + key - 1;
    if (!f.events.has_handler(event))
        RAISE_ERROR(err::kIllegalArgument, site::kKeyCtrlHandler);
    if (control < Off || control > Stop)
        RAISE_ERROR(err::kIllegalArgument, site::kKeyCtrlControl);
    apply_control(f, event, control);
}

void TIMER_INTERVAL(std::uint32_t seconds)
{
    FrameRecords& f = records();
    if (f.events.flags(kEventTimer) & EventTable::kArmed)
        RAISE_ERROR(err::kIllegalArgument, site::kTimerIntervalArmed);
    if (seconds < 1 || seconds > 65535)
        RAISE_ERROR(err::kIllegalArgument, site::kTimerIntervalRange);
    f.timer_interval = seconds;
}

void ON_TIMER_GOSUB(Subroutine handler)
{
    FrameRecords& f = records();
    if (f.timer_interval == 0)
        RAISE_ERROR(err::kIllegalArgument, site::kOnTimerGosubInterval);
    f.events.set_handler(kEventTimer, std::move(handler));
}

void TIMER_CTRL(int control)
{
    Runtime& runtime = Runtime::current();
    FrameRecords& f = runtime.frame();
    if (f.timer_interval == 0)
        RAISE_ERROR(err::kIllegalArgument, site::kTimerCtrlInterval);
    if (!f.events.has_handler(kEventTimer))
        RAISE_ERROR(err::kIllegalArgument, site::kTimerCtrlHandler);
    if (control < Off || control > Stop)
        RAISE_ERROR(err::kIllegalArgument, site::kTimerCtrlControl);
    if (control == On) {
        if (!f.trap_window) {
            try {
                f.trap_window = std::make_unique<TrapWindow>(runtime.desktop(), [&f] { timer_tick(f); });
            } catch (const std::exception&) {
                RAISE_ERROR(err::kTrapWindow, site::kTimerCtrlWindow);
            }
        }
        f.timer_ticks = 0;
        try {
            f.trap_window->start_timer();
        } catch (const std::exception&) {
            RAISE_ERROR(err::kSystemCallFailed, site::kTimerCtrlStart);
        }
    } else if (control == Off && f.trap_window) {
        f.trap_window->stop_timer();
    }
    apply_control(f, kEventTimer, control);
}

void RAISE_EVENT(int event)
{
    if (Runtime* runtime = Runtime::current_or_null())
        runtime->frame().events.raise(event);
}

void run_break_routine()
{
    FrameRecords& f = records();
    const auto flags = f.events.flags(kEventBreak);
    if (!(flags & EventTable::kArmed) || (flags & EventTable::kHeld))
        return;
    show_break_notice();
    f.end_flag = true;
    terminate_with_stored_code(f);
}

void label_scope(int label, const std::function<void()>& body)
{
    for (;;) {
        try {
            body();
            return;
        } catch (const LabelTransfer& transfer) {
            if (transfer.label != label)
                throw;
        }
    }
}

std::uint32_t current_frame_number() noexcept
{
    Runtime* runtime = Runtime::current_or_null();
    return runtime ? runtime->frame().state.frame : 0;
}

bool in_trap_handler() noexcept
{
    Runtime* runtime = Runtime::current_or_null();
    if (!runtime)
        return false;
    const FrameRecords& f = runtime->frame();
    return f.handler_depth > 0 || f.error.in_handler;
}

void pump_messages()
{
    host::Desktop& desktop = Runtime::current().desktop();
    host::Message m;
    while (desktop.peek(m))
        dispatch_or_terminate(desktop, m);
}

void pump_one_message_within(std::chrono::milliseconds limit)
{
    host::Desktop& desktop = Runtime::current().desktop();
    host::Message m;
    if (desktop.get_until(m, host::Desktop::Clock::now() + limit))
        dispatch_or_terminate(desktop, m);
}

void pump_one_message()
{
    host::Desktop& desktop = Runtime::current().desktop();
    dispatch_or_terminate(desktop, desktop.get());
}

}  // namespace rt
