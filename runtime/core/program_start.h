// The parts of the start routine that belong to the runtime core. The console
// builds the whole start-up (device table, main window) on top of these:
//
//     host::Desktop desktop(front_end);
//     rt::Runtime runtime(options, desktop, "Qk14", rt::program_base_name(rt::executable_path()));
//     rt::RuntimeScope scope(runtime);
//     rt::begin_program(runtime);
//     ... create the device table and the main window; on failure:
//         rt::show_startup_failure(desktop, runtime.base_name(), rt::startup_message_for_failure(code));
//     return rt::run_main_routine(main_routine);
//
// The runtime takes its copy of the program option record when it is
// constructed.
#pragma once

#include <string>
#include <string_view>

namespace host {
class Desktop;
}

namespace rt {

class Runtime;

// The running program's file (/proc/self/exe); empty when unknown.
std::string executable_path();
// The program's base name: the path without its directory (up to the last
// '/', '\' or ':') and extension (from the last '.'). Shift-JIS aware: the
// second byte of a double-byte character is never taken as a separator.
std::string program_base_name(std::string_view module_path);

// Arms the user break (event 1) and resets the floating-point state.
void begin_program(Runtime& runtime);

// The start-up messages, by number.
namespace startup_message {
inline constexpr int kOutOfMemory = 1;
inline constexpr int kSystemFault = 2;
inline constexpr int kWindowNotOpened = 3;
inline constexpr int kNoDeviceContext = 4;
inline constexpr int kNoGraphicsBitmap = 5;
inline constexpr int kResourceMissing = 6;
inline constexpr int kFormDataMissing = 7;
inline constexpr int kMetafileNotCreated = 8;
}  // namespace startup_message

// Failure codes of the main-window step of start-up.
namespace startup_failure {
inline constexpr int kSystemFault = 7;
inline constexpr int kResourceMissing = 1010;
inline constexpr int kMetafileNotCreated = 1011;
inline constexpr int kFormDataMissing = 1012;
inline constexpr int kOutOfMemory = 1013;
inline constexpr int kWindowNotCreated = 1014;
}  // namespace startup_failure

// Start-up message number for a failure code of the main-window step:
// 7 -> 2, 1010 -> 6, 1011 -> 8, 1012 -> 7, 1013 -> 1, 1014 -> 3, else 1.
int startup_message_for_failure(int failure_code) noexcept;
// Shift-JIS text of start-up message 1..8; empty for other numbers.
std::string_view startup_message_text(int message) noexcept;
// The stop box of a failed start-up, captioned "<base name>.EXE". The start
// routine then ends the program with exit code 0.
void show_startup_failure(host::Desktop& desktop, std::string_view base_name, int message);

// "続行不可能なエラーが発生しました <module> [<line>行]": the box text of an
// exception that nothing in the program handled.
std::string unhandled_exception_text(std::string_view module, unsigned line);
// Exit code after such an exception.
inline constexpr int kUnhandledExceptionExitCode = 255;

// The termination sequence: closes the other windows, then the main window,
// letting their messages run; marks termination; stops the timer and
// destroys the trap window; releases every runtime resource. Returns the
// exit code. Safe to call more than once.
int terminate_program(Runtime& runtime) noexcept;

}  // namespace rt
