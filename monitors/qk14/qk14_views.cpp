// Qk14's views: the settings file, the dump page, the watch pages with their
// file list and prompts, and the change log of mode 11.
#include <cstdint>
#include <string>

#include "monitors/monitor_shared/change_log.h"
#include "monitors/monitor_shared/change_log_file.h"
#include "monitors/monitor_shared/clock_display.h"
#include "monitors/monitor_shared/console_output.h"
#include "monitors/monitor_shared/dump_page.h"
#include "monitors/monitor_shared/dump_page_drawing.h"
#include "monitors/monitor_shared/file_prompt.h"
#include "monitors/monitor_shared/settings_reading.h"
#include "monitors/monitor_shared/target_link.h"
#include "monitors/monitor_shared/watch_page.h"
#include "monitors/monitor_shared/watch_page_drawing.h"
#include "qk14_program.h"
#include "runtime/console/screen_statements.h"
#include "runtime/core/string_functions.h"
#include "runtime/core/frame.h"
#include "runtime/files/device_table.h"
#include "runtime/files/file_operations.h"
#include "screen_map.h"
#include "startup_settings.h"

namespace qk14 {

using monitor::kEndLine;
using monitor::kNoEnd;
using monitor::locate;
using monitor::print;
using monitor::print_blanks;
using monitor::text_colour;
using rt::stmt;

namespace {
constexpr std::int32_t kLogFile = monitor::kWatchFile;  // the log file takes the watch file's number
}  // namespace

void Qk14Program::read_settings()
{
    const bool startAddressRead = monitor::read_settings_file(s_.settings, monitor::MonitorKind::Qk14);
    take_settings(s_, startAddressRead);
}

void Qk14Program::draw_dump_page()
{
    stmt(__LINE__, [&] {
        s_.currentMode = DisplayMode::Dump;
        s_.requestedMode = DisplayMode::None;
    });
    monitor::draw_dump_page(s_.dumpBase, screen::kHelpBlock, [this] { draw_legend(); });
    stmt(__LINE__, [&] { s_.dumpRowOffset = 0; });
}

void Qk14Program::read_next_dump_row()
{
    const bool read = monitor::read_dump_row(s_.dumpBase, s_.dumpRowOffset);
    stmt(__LINE__, [&] {
        s_.replyFailed = false;
        s_.reply.clear();
        s_.linkFault = !read;
    });
    stmt(__LINE__, [&] { s_.dumpRowOffset = monitor::next_dump_row_offset(s_.dumpRowOffset); });
}

bool Qk14Program::load_watch_file()
{
    return monitor::load_watch_file_into(s_);
}

void Qk14Program::refresh_watch_page()
{
    stmt(__LINE__, [&] { s_.replyFailed = false; });
    for (const monitor::WatchEntry& entry : s_.watchPage.entries) {
        monitor::send_request(*monitor::watch_request(entry));
        const std::optional<std::string> reply = monitor::read_watch_reply([this] { s_.linkFault = false; });
        if (!reply) {
            stmt(__LINE__, [&] { s_.linkFault = true; });
            return;
        }
        stmt(__LINE__, [&] { locate(monitor::value_place(entry)); });
        monitor::show_watch_value(entry, *reply, monitor::MonitorKind::Qk14, s_.settings.byteOrder,
                                  monitor::ValueContext::WatchPage);
    }
}

std::string Qk14Program::prompt_file_name(int key)
{
    const std::string typed = monitor::prompt_file_name(screen::kFilePromptPlace);
    stmt(__LINE__, [&] { s_.functionKeyNames[static_cast<std::size_t>(key)] = typed; });
    return typed;
}

void Qk14Program::enter_watch_page(int key)
{
    stmt(__LINE__, [&] { rt::CLS(0, 1); });
    stmt(__LINE__, [&] { rt::CLS(0, 5); });
    stmt(__LINE__, [&] { s_.watchFileName = monitor::watch_file_name(s_.functionKeyNames[static_cast<std::size_t>(key)]); });
    stmt(__LINE__, [&] {
        s_.requestedMode = DisplayMode::None;
        s_.currentMode = static_cast<DisplayMode>(key);
    });
    if (!load_watch_file()) {
        stmt(__LINE__, [&] { s_.currentMode = DisplayMode::Dump; });
        draw_dump_page();
        stmt(__LINE__, [&] { rt::BEEP(); });
        return;
    }
    if (s_.functionKeyNames[static_cast<std::size_t>(key)].empty()) {
        stmt(__LINE__, [&] { rt::BEEP(); });
        return;
    }
    draw_legend();
}

void Qk14Program::enter_chosen_watch_page()
{
    for (;;) {
        stmt(__LINE__, [&] { rt::CLS(0, 1); });
        stmt(__LINE__, [&] { rt::CLS(0, 5); });
        monitor::list_watch_files(screen::kFileListStart);
        stmt(__LINE__, [&] { locate(screen::kWatchHintReturn.column, screen::kWatchHintReturn.row); });
        stmt(__LINE__, [&] { print(screen::kHintReturn); });
        stmt(__LINE__, [&] { locate(screen::kWatchHintAppend.column, screen::kWatchHintAppend.row); });
        stmt(__LINE__, [&] { print(screen::kHintAppend); });
        const std::string base = monitor::typed_file_base(prompt_file_name(10));
        stmt(__LINE__, [&] { s_.functionKeyNames[10] = base; });
        stmt(__LINE__, [&] { s_.watchFileName = monitor::watch_file_name(base); });
        stmt(__LINE__, [&] { rt::CLS(0, 1); });
        stmt(__LINE__, [&] {
            s_.requestedMode = DisplayMode::None;
            s_.currentMode = DisplayMode::ChosenWatch;
        });
        if (base.empty()) {
            stmt(__LINE__, [&] { s_.currentMode = DisplayMode::None; });
            draw_dump_page();
            stmt(__LINE__, [&] { rt::BEEP(); });
            return;
        }
        if (!load_watch_file()) {
            stmt(__LINE__, [&] { s_.functionKeyNames[10].clear(); });
            continue;
        }
        draw_legend();
        return;
    }
}

void Qk14Program::enter_log_mode()
{
    for (;;) {
        stmt(__LINE__, [&] { rt::CLOSE({kLogFile}); });
        stmt(__LINE__, [&] { s_.log.lastLoggedValue.clear(); });
        stmt(__LINE__, [&] { rt::CLS(0, 1); });
        stmt(__LINE__, [&] { rt::CLS(0, 5); });
        stmt(__LINE__, [&] { s_.log.changeNumber.reset(); });
        monitor::list_watch_files(screen::kFileListStart);
        stmt(__LINE__, [&] { locate(screen::kLogHintReturn.column, screen::kLogHintReturn.row); });
        stmt(__LINE__, [&] { print(screen::kHintReturn); });
        stmt(__LINE__, [&] { locate(screen::kLogHintAppend.column, screen::kLogHintAppend.row); });
        stmt(__LINE__, [&] { print(screen::kHintAppend); });
        stmt(__LINE__, [&] { locate(screen::kLogHintDelete.column, screen::kLogHintDelete.row); });
        stmt(__LINE__, [&] { print(screen::kHintDelete); });
        const monitor::LogRequest request = monitor::parse_log_request(prompt_file_name(11));
        stmt(__LINE__, [&] { s_.log.logging = request.logging; });
        if (request.recreate) {
            // A log file that does not exist is not an error.
            stmt(__LINE__, [&] { rt::ON_ERROR_GOTO([] { rt::RESUME_NEXT(); }); });
            stmt(__LINE__, [&] {
                rt::push_temp(monitor::log_file_name(request.baseName));
                rt::KILL();
            });
            stmt(__LINE__, [&] { rt::ON_ERROR_GOTO({}); });
        }
        stmt(__LINE__, [&] { s_.functionKeyNames[11] = request.baseName; });
        stmt(__LINE__, [&] { s_.watchFileName = monitor::watch_file_name(request.baseName); });
        stmt(__LINE__, [&] { rt::CLS(0, 1); });
        stmt(__LINE__, [&] {
            s_.requestedMode = DisplayMode::None;
            s_.currentMode = DisplayMode::Log;
        });
        if (request.baseName.empty()) {
            stmt(__LINE__, [&] { s_.currentMode = DisplayMode::None; });
            draw_dump_page();
            stmt(__LINE__, [&] { rt::CLOSE({kLogFile}); });
            stmt(__LINE__, [&] { rt::BEEP(); });
            return;
        }
        if (!load_watch_file()) {
            stmt(__LINE__, [&] { s_.functionKeyNames[11].clear(); });
            continue;
        }
        draw_legend();
        stmt(__LINE__, [&] { rt::CLS(0, 1); });
        if (s_.log.logging) {
            stmt(__LINE__, [&] { rt::CLOSE({kLogFile}); });
            s_.log.logging = monitor::open_change_log(kLogFile, monitor::log_file_name(request.baseName), screen::kResponse);
        }
        return;
    }
}

void Qk14Program::log_step()
{
    stmt(__LINE__, [&] { s_.replyFailed = false; });
    if (s_.watchPage.entries.empty())
        return;  // an empty page sends nothing
    const monitor::WatchEntry& entry = s_.watchPage.entries.front();
    monitor::send_request(*monitor::watch_request(entry));
    const std::optional<std::string> reply = monitor::read_watch_reply();
    if (!reply)
        return;
    std::optional<std::uint32_t> change;
    stmt(__LINE__, [&] { change = monitor::note_change(s_.log.lastLoggedValue, s_.log.changeNumber, *reply); });
    if (!change)
        return;
    std::string date;
    std::string time;
    stmt(__LINE__, [&] { date = monitor::current_date_text(); });
    stmt(__LINE__, [&] { time = monitor::current_time_text(); });
    if (s_.log.logging)
        s_.log.logging = monitor::append_change_log(kLogFile, monitor::log_file_name(s_.functionKeyNames[11]),
                                                    monitor::change_log_line(*change, date, time, *reply), screen::kResponse);
    stmt(__LINE__, [&] { locate(screen::kLogLine.column, screen::kLogLine.row); });
    stmt(__LINE__, [&] {
        print(monitor::change_row_text(*change, screen::kLogNumberPicture, date, time, entry.label, ""));
    });
    monitor::show_watch_value(entry, *reply, monitor::MonitorKind::Qk14, s_.settings.byteOrder,
                              monitor::ValueContext::ChangeRow);
    stmt(__LINE__, [&] { print("", kEndLine); });
    stmt(__LINE__, [&] { print("", kEndLine); });
}

}  // namespace qk14
