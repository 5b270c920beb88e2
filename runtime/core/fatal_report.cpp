#include "runtime/core/fatal_report.h"

#include <cstdio>

#include "host/desktop.h"
#include "host/settings_store.h"
#include "host/code_page.h"
#include "runtime/core/console_report.h"
#include "runtime/core/error_reason.h"
#include "runtime/core/frame_records.h"
#include "runtime/core/message_library.h"
#include "runtime/core/runtime.h"
#include "runtime/core/user_language.h"

namespace rt {

namespace {

// Shift-JIS texts of the reports, Japanese and English.
struct ReportTexts {
    std::string_view line_before;  // before the line number
    std::string_view line_after;   // after it
    std::string_view error_word;
    std::string_view press_any_key;
    std::string_view interrupted;
};

constexpr ReportTexts kJapaneseTexts{
    "", "\x8d\x73",                      // 行
    "\x83\x47\x83\x89\x81\x5b",           // エラー
    // \r\n任意のキーを押してください
    "\r\n\x94\x43\x88\xd3\x82\xcc\x83\x4c\x81\x5b\x82\xf0\x89\x9f\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2",
    "\r\n\x92\x86\x92\x66\x82\xb5\x82\xdc\x82\xb5\x82\xbd",  // \r\n中断しました
};

constexpr ReportTexts kEnglishTexts{"line ", "", " error", "\r\nPress any key", "\r\nInterrupted"};

const ReportTexts& report_texts() noexcept
{
    return user_language() == Language::Japanese ? kJapaneseTexts : kEnglishTexts;
}

// The report as standard error shows it: UTF-8, one "\n" per line.
std::string plain_text(std::string_view sjis)
{
    std::string text;
    for (const char c : host::sjis_to_utf8(sjis))
        if (c != '\r')
            text += c;
    while (!text.empty() && text.front() == '\n')
        text.erase(0, 1);
    return text + "\n";
}

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
    const ReportTexts& t = report_texts();
    std::string text = "\r\n";
    text += module;
    text += " [";
    text += t.line_before;
    text += std::to_string(line);
    text += t.line_after;
    text += "]:";
    text += t.error_word;
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
    const ReportTexts& t = report_texts();
    std::string text(t.interrupted);
    text += " ";
    text += module;
    text += "[";
    text += t.line_before;
    text += std::to_string(line);
    text += t.line_after;
    text += "] ";
    text += t.press_any_key;
    return text;
}

std::string_view press_any_key_text() noexcept
{
    return report_texts().press_any_key;
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
        const std::string reason = current_error_reason();
        write_error_log({runtime->module_name(), line, number, site, local_time_now()});
        const bool on_console = console_target(*runtime) != nullptr;
        const auto text = error_message_text(number, on_console ? kConsoleMessageBuffer : kBoxMessageBuffer);
        std::string details;
        if (text)
            details += "\r\n" + *text;
        if (!reason.empty())
            details += "\r\n" + reason;
        runtime->set_closing_report(plain_text(report + details));
        if (ConsoleReportTarget* console = console_target(*runtime)) {
            console->write_text(report + details);
            console->write_text(press_any_key_text());
            console->wait_for_key(true);  // ends with the line end after the key
        } else {
            std::string box = report;
            if (text)
                box += "\n" + *text;
            if (!reason.empty())
                box += "\n" + reason;
            runtime->desktop().message_box(box_caption(*runtime), box);
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
