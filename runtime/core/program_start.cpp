#include "runtime/core/program_start.h"

#include <unistd.h>

#include <array>
#include <climits>

#include "host/desktop.h"
#include "runtime/core/error_trap.h"
#include "runtime/core/floating_point_reset.h"
#include "runtime/core/frame.h"
#include "runtime/core/frame_records.h"
#include "runtime/core/runtime.h"
#include "runtime/core/shift_jis.h"

namespace rt {

namespace {

// Shift-JIS texts of the start-up messages 1..8.
constexpr std::array<std::string_view, 8> kStartupMessages{
    "\x83\x81\x83\x82\x83\x8a\x82\xaa\x91\xab\x82\xe8\x82\xdc\x82\xb9\x82\xf1",  // メモリが足りません
    "\x83\x56\x83\x58\x83\x65\x83\x80\x82\xc9\x88\xd9\x8f\xed\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb7",  // システムに異常があります
    "\x83\x45\x83\x42\x83\x93\x83\x68\x83\x45\x82\xf0\x83\x49\x81\x5b\x83\x76\x83\x93\x82\xc5\x82\xab\x82\xdc"
    "\x82\xb9\x82\xf1",  // ウィンドウをオープンできません
    "\x83\x66\x83\x6f\x83\x43\x83\x58\x83\x52\x83\x93\x83\x65\x83\x4c\x83\x58\x83\x67\x82\xf0\x8d\xec\x90\xac"
    "\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1",  // デバイスコンテキストを作成できません
    "\x83\x4f\x83\x89\x83\x74\x83\x42\x83\x62\x83\x4e\x83\x72\x83\x62\x83\x67\x83\x7d\x83\x62\x83\x76\x82\xf0"
    "\x8d\xec\x90\xac\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1",  // グラフィックビットマップを作成できません
    "\x83\x8a\x83\x5c\x81\x5b\x83\x58\x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1",  // リソースが見つかりません
    "\x83\x74\x83\x48\x81\x5b\x83\x80\x83\x66\x81\x5b\x83\x5e\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1",  // フォームデータがありません
    "\x83\x81\x83\x5e\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xaa\x8d\xec\x90\xac\x82\xc5\x82\xab\x82\xdc\x82\xb9"
    "\x82\xf1",  // メタファイルが作成できません
};

// 続行不可能なエラーが発生しました
constexpr std::string_view kUnrecoverable =
    "\x91\xb1\x8d\x73\x95\x73\x89\xc2\x94\x5c\x82\xc8\x83\x47\x83\x89\x81\x5b\x82\xaa\x94\xad\x90\xb6\x82\xb5"
    "\x82\xdc\x82\xb5\x82\xbd";
constexpr std::string_view kLineWord = "\x8d\x73";  // 行

// Messages that a Close starts (destroy, the main window's quit) run here;
// the quit message itself is not acted on, the program is already ending.
void let_messages_run(host::Desktop& desktop)
{
    constexpr int kMaxMessages = 100000;  // a window that keeps posting cannot hold the end up
    host::Message m;
    for (int i = 0; i < kMaxMessages && desktop.peek(m); ++i)
        if (m.kind != host::MessageKind::Quit)
            desktop.dispatch(m);
}

void close_window(host::Desktop& desktop, host::WindowId window) noexcept
{
    try {
        if (!desktop.window_exists(window))
            return;
        desktop.send(host::Message{window, host::MessageKind::Close});
        let_messages_run(desktop);
        // A window that did not close itself is destroyed: every window is
        // released at termination.
        desktop.destroy_window(window);
    } catch (...) {
        // Errors and further terminations during the close are ignored.
    }
}

}  // namespace

std::string executable_path()
{
    std::array<char, PATH_MAX> buffer{};
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    return n > 0 ? std::string(buffer.data(), std::size_t(n)) : std::string();
}

std::string program_base_name(std::string_view path)
{
    std::size_t name_start = 0;
    std::size_t dot = std::string_view::npos;
    for (std::size_t i = 0; i < path.size();) {
        const char c = path[i];
        if (c == '/' || c == '\\' || c == ':') {
            name_start = i + 1;
            dot = std::string_view::npos;
        } else if (c == '.') {
            dot = i;
        }
        i += sjis::character_length(path, i);
    }
    const std::size_t name_end = dot == std::string_view::npos ? path.size() : dot;
    return std::string(path.substr(name_start, name_end - name_start));
}

void begin_program(Runtime& runtime)
{
    runtime.frame().events.arm(kEventBreak);
    reset_floating_point_state();
}

int startup_message_for_failure(int failure_code) noexcept
{
    switch (failure_code) {
    case startup_failure::kSystemFault:
        return startup_message::kSystemFault;
    case startup_failure::kResourceMissing:
        return startup_message::kResourceMissing;
    case startup_failure::kMetafileNotCreated:
        return startup_message::kMetafileNotCreated;
    case startup_failure::kFormDataMissing:
        return startup_message::kFormDataMissing;
    case startup_failure::kOutOfMemory:
        return startup_message::kOutOfMemory;
    case startup_failure::kWindowNotCreated:
        return startup_message::kWindowNotOpened;
    default:
        return startup_message::kOutOfMemory;
    }
}

std::string_view startup_message_text(int message) noexcept
{
    return message >= startup_message::kOutOfMemory && message <= startup_message::kMetafileNotCreated
               ? kStartupMessages[std::size_t(message - startup_message::kOutOfMemory)]
               : std::string_view{};
}

void show_startup_failure(host::Desktop& desktop, std::string_view base_name, int message)
{
    desktop.message_box(std::string(base_name) + ".EXE", startup_message_text(message));
}

std::string unhandled_exception_text(std::string_view module, unsigned line)
{
    std::string text(kUnrecoverable);
    text += " ";
    text += module;
    text += " [" + std::to_string(line);
    text += kLineWord;
    text += "]";
    return text;
}

int terminate_program(Runtime& runtime) noexcept
{
    FrameRecords& f = runtime.frame();
    host::Desktop& desktop = runtime.desktop();
    const host::WindowId main = runtime.main_window();
    const host::WindowId trap = f.trap_window ? f.trap_window->id() : 0;
    try {
        for (const host::WindowId window : desktop.window_ids())
            if (window != main && window != trap)
                close_window(desktop, window);
    } catch (...) {
    }
    if (main)
        close_window(desktop, main);

    f.terminating = true;
    f.end_flag = true;
    try {
        f.trap_window.reset();
    } catch (...) {
    }
    f.events.clear();
    f.gosub.clear();
    f.state.trap = nullptr;
    f.handler_depth = 0;
    f.skip_once = false;
    f.error.in_handler = false;
    f.error.in_progress = false;
    runtime.release_all();
    return f.exit_code;
}

int run_main_routine(const std::function<void()>& main_routine)
{
    Runtime& runtime = Runtime::current();
    FrameRecords& f = runtime.frame();
    try {
        try {
            main_routine();
        } catch (const RuntimeError& error) {
            detail::fatal_error(error);  // raised outside every statement
        } catch (const LabelTransfer&) {
            // A resume to a label that no scope holds ends the program.
        }
    } catch (const ProgramTermination&) {
    } catch (...) {
        try {
            runtime.desktop().message_box(runtime.base_name(), unhandled_exception_text(runtime.module_name(), f.line));
        } catch (...) {
        }
        f.exit_code = kUnhandledExceptionExitCode;
    }
    return terminate_program(runtime);
}

}  // namespace rt
