#include "runtime/core/fatal_report.h"

#include <cstdio>

#include "host/desktop.h"
#include "host/settings_store.h"
#include "runtime/core/console_report.h"
#include "runtime/core/frame_records.h"
#include "runtime/core/message_library.h"
#include "runtime/core/runtime.h"

namespace rt {

namespace {

// Shift-JIS texts of the reports.
constexpr std::string_view kLineWord = "\x8d\x73";                      // 行
constexpr std::string_view kErrorWord = "\x83\x47\x83\x89\x81\x5b";     // エラー
constexpr std::string_view kPressAnyKey =                                // \r\n任意のキーを押してください
    "\r\n\x94\x43\x88\xd3\x82\xcc\x83\x4c\x81\x5b\x82\xf0\x89\x9f\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2";
constexpr std::string_view kInterrupted = "\r\n\x92\x86\x92\x66\x82\xb5\x82\xdc\x82\xb5\x82\xbd";  // \r\n中断しました

std::string box_caption(const Runtime& runtime)
{
    return runtime.base_name() + ".EXE";
}

ConsoleReportTarget* console_target(Runtime& runtime) noexcept
{
    ConsoleReportTarget* target = runtime.report_target();
    return target && target->accepts_console_output() ? target : nullptr;
}

std::string local_time_now()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return error_log_time_text(local);
}

}  // namespace

std::string fatal_report_line(std::string_view module, std::uint16_t line, std::uint16_t number)
{
    std::string text = "\r\n";
    text += module;
    text += " [" + std::to_string(line);
    text += kLineWord;
    text += "]:";
    text += kErrorWord;
    text += "[" + std::to_string(number) + "]";
    return text;
}

std::string error_log_time_text(const std::tm& t)
{
    char text[64];
    std::snprintf(text, sizeof text, "%d/%02d/%02d %02d:%02d:%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                  t.tm_hour, t.tm_min, t.tm_sec);
    return text;
}

std::string break_notice_text(std::string_view module, std::uint16_t line)
{
    std::string text(kInterrupted);
    text += " ";
    text += module;
    text += "[" + std::to_string(line);
    text += kLineWord;
    text += "] ";
    text += kPressAnyKey;
    return text;
}

std::string_view press_any_key_text() noexcept
{
    return kPressAnyKey;
}

std::uint32_t help_context_for(std::uint16_t number) noexcept
{
    if (number >= 1000 && number <= 1019)
        return number + 99000u;
    return number;
}

void open_error_help()
{
    FrameRecords& f = Runtime::current().frame();
    if (const std::uint32_t context = help_context_for(f.error.number)) {
        f.help.last_context = context;
        f.help.open = true;
    }
}

void close_error_help() noexcept
{
    if (Runtime* runtime = Runtime::current_or_null())
        runtime->frame().help.open = false;
}

void write_error_log(const ErrorLogEntry& entry) noexcept
{
    try {
        host::SettingsStore::for_user().set_values(
            host::settings::kErrorLogSection,
            {host::Setting::text("MODL", entry.module), host::Setting::number("LINE", entry.line),
             host::Setting::number("CODE", entry.number), host::Setting::number("FUNC", entry.site >> 8u),
             host::Setting::number("INFO", entry.site & 0xFFu), host::Setting::text("TIME", entry.time)});
    } catch (...) {
        // The log is a convenience: the report goes on without it.
    }
}

void report_fatal_error(std::uint16_t number, std::uint16_t site, std::uint16_t line) noexcept
{
    Runtime* runtime = Runtime::current_or_null();
    if (!runtime)
        return;
    try {
        const std::string report = fatal_report_line(runtime->module_name(), line, number);
        write_error_log({runtime->module_name(), line, number, site, local_time_now()});
        if (ConsoleReportTarget* console = console_target(*runtime)) {
            console->write_text(report);
            if (const auto text = error_message_text(number, kConsoleMessageBuffer))
                console->write_text("\r\n" + *text);
            console->write_text(kPressAnyKey);
            console->wait_for_key(true);  // ends with the line end after the key
        } else {
            const auto text = error_message_text(number, kBoxMessageBuffer);
            runtime->desktop().message_box(box_caption(*runtime), text ? report + "\n" + *text : report);
        }
    } catch (...) {
        // The program ends after the report whatever happens in it (the
        // window may close or a quit may arrive while waiting for the key).
    }
    close_error_help();
}

void show_break_notice()
{
    Runtime& runtime = Runtime::current();
    const std::string notice = break_notice_text(runtime.module_name(), runtime.frame().line);
    if (ConsoleReportTarget* console = console_target(runtime)) {
        console->write_text(notice);
        console->wait_for_key(false);
    } else {
        runtime.desktop().message_box(box_caption(runtime), notice);
    }
}

}  // namespace rt
