// The error trap: dispatch of a raised error to the frame's handler, the
// three resumes, and the fatal end when nothing traps the error.
//
// Rules: an error goes to the trap of the frame that raised it; a frame
// without a trap passes it to its caller; the main program without a trap
// makes it fatal. An error raised while a handler runs is never trapped
// again: in the main program it is fatal, in a procedure its frame is left
// and the caller's trap decides. Resumes need a handler running in the
// current frame, else error 20.
#pragma once

#include <cstdint>

#include "runtime/core/error.h"

namespace rt {

// Thrown by RESUME and RESUME_NEXT; caught by the statement that dispatched
// the error to the handler.
struct ResumeSignal {
    enum class Kind { Again, Next } kind;
};

namespace detail {

// The fatal end: report (console or message box, error log), end flag, and
// termination with kFatalErrorExitCode.
[[noreturn]] void fatal_error(const RuntimeError& error);

}  // namespace detail
}  // namespace rt
