// The program frame: statement prologue, line numbers, subroutines, events,
// the error trap and its three resumes, END, and the message pump.
//
// Application code is written as statements:
//     stmt(__LINE__, [&] { ...body... });
// stmt() runs the prologue (STMT), sets the line (SETLINE), then the body.
// A RuntimeError escaping the body goes to the trap handler set with
// ON_ERROR_GOTO, which ends with RESUME (the body runs again), RESUME_NEXT
// (stmt returns normally) or RESUME_LABEL(label) (a LabelTransfer is thrown
// that the matching label scope catches). Without a trap, or inside the
// handler, the error is fatal: report, then ProgramTermination.
//
// A handler that returns without any resume leaves the program in handler
// state and continues after the failed statement: the next error is fatal
// until a resume runs.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace rt {

using Subroutine = std::function<void()>;

// Statement prologue alone (also usable by hand-written loops).
void STMT();
void SETLINE(std::uint16_t line);
std::uint16_t GET_LINE();

// One statement: STMT, SETLINE(line), body, with error trap dispatch.
template <class Body>
void stmt(std::uint16_t line, Body&& body);

void GOSUB(const Subroutine& target);
void RETURN();  // explicit early return from a subroutine (throws to its GOSUB)
[[noreturn]] void END(std::uint16_t exit_code);

// Exit code of a program ended by an untrapped error (END's code otherwise, 0
// when the program ended without END).
inline constexpr int kFatalErrorExitCode = 1;

// Events.
inline constexpr int kEventBreak = 1;
inline constexpr int kEventKey1 = 2;      // F1..F12 are events 2..13
inline constexpr int kEventSerial0 = 21;  // serial arrival on channels 0..4: 21..25
inline constexpr int kEventAlarm = 26;
inline constexpr int kEventTimer = 27;
inline constexpr int kEventCount = 45;

void ON_KEY_GOSUB(int key, Subroutine handler);
void KEY_CTRL(int key, int control);      // 0 OFF, 1 ON, 2 STOP
void TIMER_INTERVAL(std::uint32_t seconds);
void ON_TIMER_GOSUB(Subroutine handler);
void TIMER_CTRL(int control);
// Thread-safe: serial reader threads raise events 21..25.
void RAISE_EVENT(int event);
// The break routine (Ctrl+C read by the console or a serial wait): when the
// user break event is armed and not held, shows the interruption notice,
// waits for a key and ends the program; otherwise does nothing.
void run_break_routine();

// Error trap.
using TrapHandler = std::function<void()>;
void ON_ERROR_GOTO(TrapHandler handler);  // empty handler removes the trap
[[noreturn]] void RESUME();
[[noreturn]] void RESUME_NEXT();
[[noreturn]] void RESUME_LABEL(int label);
std::uint16_t GET_ERR();

// Thrown by RESUME_LABEL; caught by label_scope() with the same label.
struct LabelTransfer {
    int label;
};
// Runs body; when a LabelTransfer to `label` arrives, runs body again from its
// start (a label at the top of a block). Other labels pass through.
void label_scope(int label, const std::function<void()>& body);

// Current procedure frame number (0 = main program) and whether an event
// subroutine or error handler is running (DIM refuses to run there).
std::uint32_t current_frame_number() noexcept;
bool in_trap_handler() noexcept;

// Runs `body` as a procedure frame with its own error trap. An error that its
// frame does not trap leaves the frame and goes to the caller's trap; leaving
// the frame while its error handler runs raises 19 in the caller.
void call_procedure(const std::function<void()>& body);

// Runs the application's main routine as the program: catches termination
// from any depth, performs the termination sequence (windows closed, strings,
// devices and files released) and returns the process exit code.
int run_main_routine(const std::function<void()>& main_routine);

// Runs the event subroutines that are due, as the statement prologue does.
// Blocking reads call it between messages, so the timer and the function
// keys keep working while the program waits for a key.
void run_due_events();

// Takes and dispatches every waiting message; the quit message terminates.
void pump_messages();
// Blocks for one message and dispatches it (runtime waits use this).
void pump_one_message();
// Waits at most `limit` for one message and dispatches it.
void pump_one_message_within(std::chrono::milliseconds limit);

}  // namespace rt

#include "runtime/core/frame_inline.h"
