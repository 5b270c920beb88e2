#include "runtime/core/error_trap.h"

#include "runtime/core/fatal_report.h"
#include "runtime/core/frame.h"
#include "runtime/core/frame_records.h"
#include "runtime/core/runtime.h"

namespace rt {

namespace {

namespace site {
inline constexpr std::uint16_t kResume = 0xEB01;
inline constexpr std::uint16_t kResumeNext = 0xEC01;
inline constexpr std::uint16_t kResumeLabel = 0xED01;
}  // namespace site

// Leaves the handler state for a resume; raises 20 when no handler runs in
// the current frame.
void leave_handler(std::uint16_t site)
{
    FrameRecords& f = Runtime::current().frame();
    ErrorState& e = f.error;
    if (!e.in_handler || e.handler_frame != f.state.frame)
        RAISE_ERROR(err::kResumeWithoutError, site);
    e.in_handler = false;
    e.handler_frame = 0;
    e.number = 0;
}

}  // namespace

void ON_ERROR_GOTO(TrapHandler handler)
{
    Runtime::current().frame().state.trap = std::move(handler);
}

void RESUME()
{
    leave_handler(site::kResume);
    throw ResumeSignal{ResumeSignal::Kind::Again};
}

void RESUME_NEXT()
{
    leave_handler(site::kResumeNext);
    throw ResumeSignal{ResumeSignal::Kind::Next};
}

void RESUME_LABEL(int label)
{
    leave_handler(site::kResumeLabel);
    throw LabelTransfer{label};
}

std::uint16_t GET_ERR()
{
    return Runtime::current().frame().error.number;
}

namespace detail {

void fatal_error(const RuntimeError& error)
{
    FrameRecords& f = Runtime::current().frame();
    ErrorState& e = f.error;
    const std::uint16_t line = e.in_progress ? e.line : f.line;
    e.number = error.number();
    e.site = error.site();
    e.line = line;
    e.in_handler = false;
    report_fatal_error(error.number(), error.site(), line);
    e.in_progress = false;
    f.end_flag = true;
    f.exit_code = kFatalErrorExitCode;
    throw ProgramTermination{f.exit_code};
}

ErrorOutcome handle_statement_error(const RuntimeError& error)
{
    Runtime* runtime = Runtime::current_or_null();
    if (!runtime || runtime->frame().terminating)
        return ErrorOutcome::Propagate;
    FrameRecords& f = runtime->frame();
    ErrorState& e = f.error;
    if (error.number() == 0) {
        // Error 0 is no error: the statement ends as though nothing happened.
        e.in_progress = false;
        return ErrorOutcome::Continue;
    }
    if (e.in_handler) {
        e.in_handler = false;
        if (f.state.frame == 0)
            fatal_error(error);
        e.leaving_handler_frame = true;
        return ErrorOutcome::Propagate;
    }
    if (e.leaving_handler_frame || !f.state.trap) {
        if (f.state.frame == 0)
            fatal_error(error);
        return ErrorOutcome::Propagate;
    }

    e.number = error.number();
    e.site = error.site();
    e.line = f.line;
    e.handler_frame = f.state.frame;
    e.in_handler = true;
    e.in_progress = false;
    const TrapHandler handler = f.state.trap;  // the handler may set a new trap
    try {
        handler();
    } catch (const ResumeSignal& resume) {
        return resume.kind == ResumeSignal::Kind::Again ? ErrorOutcome::Retry : ErrorOutcome::Continue;
    }
    return ErrorOutcome::Continue;
}

}  // namespace detail
}  // namespace rt
