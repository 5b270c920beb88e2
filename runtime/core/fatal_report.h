// The fatal error report, the user-break notice, the key wait behind both,
// the error log in the settings file, and help context numbers.
//
// Texts are Shift-JIS, Japanese or English by the user's locale
// (user_language.h). A device or file error adds its reason line (path and
// why). The report is also kept as plain text for standard error
// (Runtime::closing_report). The console path goes through the runtime's
// ConsoleReportTarget when the console window takes text; otherwise the
// report is a message box through the desktop.
//
// Help: this host has no help file or viewer. Opening help records the
// context number that would have been shown (FrameRecords::help) so the
// console's F1 handling and tests can see it; closing clears the open mark.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace rt {

// "\r\n<module> [<line>行]:エラー[<number>]", in English "\r\n<module> [line <line>]: error[<number>]"
std::string fatal_report_line(std::string_view module, std::uint16_t line, std::uint16_t number);
// "<year>/<mm>/<dd> <hh>:<mm>:<ss>"
std::string error_log_time_text(const std::tm& local_time);
// "\r\n中断しました <module>[<line>行] \r\n任意のキーを押してください" (English:
// "\r\nInterrupted <module>[line <line>] \r\nPress any key")
std::string break_notice_text(std::string_view module, std::uint16_t line);
// "\r\n任意のキーを押してください" ("\r\nPress any key")
std::string_view press_any_key_text() noexcept;

// Context number of the help on `number`: 1000..1019 map to number + 99000,
// 0 to none (0), any other number to itself.
std::uint32_t help_context_for(std::uint16_t number) noexcept;
// Opens (records) the help on the current error; nothing for error 0.
void open_error_help();
void close_error_help() noexcept;

struct ErrorLogEntry {
    std::string module;
    std::uint32_t line = 0;
    std::uint32_t number = 0;
    std::uint16_t site = 0;
    std::string time;
};
// Writes MODL, LINE, CODE, FUNC (site >> 8), INFO (site & 0xFF) and TIME to
// the error log section; a failure to write is ignored.
void write_error_log(const ErrorLogEntry& entry) noexcept;

// The report of an untrapped error: error log, then console text and key wait
// or a message box. Never throws; termination is the caller's.
void report_fatal_error(std::uint16_t number, std::uint16_t site, std::uint16_t line) noexcept;

// The interruption notice of a user break and its key wait (or message box).
void show_break_notice();

}  // namespace rt
