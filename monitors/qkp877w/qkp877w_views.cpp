// QkP877W's views: the settings file, the dump page with its two pages, the
// watch pages with the file list and prompt, and the change list of mode 11.
#include <cstdint>
#include <optional>
#include <string>

#include "monitors/monitor_shared/change_log.h"
#include "monitors/monitor_shared/clock_display.h"
#include "monitors/monitor_shared/console_output.h"
#include "monitors/monitor_shared/dump_page.h"
#include "monitors/monitor_shared/dump_page_drawing.h"
#include "monitors/monitor_shared/file_prompt.h"
#include "monitors/monitor_shared/settings_reading.h"
#include "monitors/monitor_shared/target_link.h"
#include "monitors/monitor_shared/watch_page.h"
#include "monitors/monitor_shared/watch_page_drawing.h"
#include "qkp877w_program.h"
#include "runtime/console/screen_statements.h"
#include "runtime/core/frame.h"
#include "runtime/core/string_functions.h"
#include "screen_map.h"

namespace qkp877w {

using monitor::kEndLine;
using monitor::locate;
using monitor::print;
using monitor::print_blanks;
using rt::stmt;

void QkP877WProgram::read_settings()
{
    monitor::read_settings_file(s_.settings, monitor::MonitorKind::QkP877W);
    for (int key = 2; key <= 9; ++key)
        stmt(__LINE__, [&] { s_.functionKeyNames[static_cast<std::size_t>(key)] = s_.settings.name_of_key(key); });
}

void QkP877WProgram::draw_dump_page()
{
    stmt(__LINE__, [&] {
        s_.currentMode = DisplayMode::Dump;
        s_.requestedMode = DisplayMode::None;
    });
    monitor::draw_dump_page(s_.dumpBase, screen::kHelpBlock, [this] { draw_legend(); });
    stmt(__LINE__, [&] { s_.dumpRowOffset = 0; });
}

void QkP877WProgram::read_next_dump_row()
{
    // A row that does not come keeps its old contents; nothing else shows it.
    monitor::read_dump_row(s_.dumpBase, s_.dumpRowOffset);
    stmt(__LINE__, [&] {
        s_.replyFailed = false;
        s_.reply.clear();
    });
    stmt(__LINE__, [&] { s_.dumpRowOffset = monitor::next_dump_row_offset(s_.dumpRowOffset); });
}

bool QkP877WProgram::load_watch_file()
{
    return monitor::load_watch_file_into(s_);
}

void QkP877WProgram::refresh_watch_page()
{
    stmt(__LINE__, [&] { s_.replyFailed = false; });
    for (const monitor::WatchEntry& entry : s_.watchPage.entries) {
        monitor::send_request(*monitor::watch_request(entry));
        const std::optional<std::string> reply = monitor::read_watch_reply();
        if (!reply)
            return;  // the rest keep their old values this cycle
        stmt(__LINE__, [&] { locate(monitor::value_place(entry)); });
        monitor::show_watch_value(entry, *reply, monitor::MonitorKind::QkP877W, 0, monitor::ValueContext::WatchPage);
    }
}

std::string QkP877WProgram::prompt_file_base(int key)
{
    const std::string typed = monitor::prompt_file_name(screen::kFilePromptPlace);
    const std::string base = monitor::typed_file_base(typed);
    stmt(__LINE__, [&] { s_.functionKeyNames[static_cast<std::size_t>(key)] = base; });
    return base;
}

void QkP877WProgram::entry_failure()
{
    stmt(__LINE__, [&] { locate(screen::kEntryFailureBlank); });
    stmt(__LINE__, [&] { print_blanks(screen::kEntryFailureBlanks); });
    stmt(__LINE__, [&] { rt::BEEP(); });
}

void QkP877WProgram::enter_watch_page(int key)
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

void QkP877WProgram::enter_chosen_watch_page()
{
    stmt(__LINE__, [&] { rt::CLS(0, 1); });
    stmt(__LINE__, [&] { rt::CLS(0, 5); });
    monitor::list_watch_files(screen::kFileListStart);
    const std::string base = prompt_file_base(10);
    stmt(__LINE__, [&] { s_.watchFileName = monitor::watch_file_name(base); });
    stmt(__LINE__, [&] { rt::CLS(0, 1); });
    stmt(__LINE__, [&] {
        s_.requestedMode = DisplayMode::None;
        s_.currentMode = DisplayMode::ChosenWatch;
    });
    if (!load_watch_file()) {
        stmt(__LINE__, [&] { s_.currentMode = DisplayMode::Dump; });
        draw_dump_page();
        entry_failure();
        return;
    }
    if (base.empty()) {
        entry_failure();
        return;
    }
    draw_legend();
}

void QkP877WProgram::enter_change_list()
{
    stmt(__LINE__, [&] { rt::CLS(0, 1); });
    stmt(__LINE__, [&] { rt::CLS(0, 5); });
    stmt(__LINE__, [&] { s_.changes.changeNumber.reset(); });
    monitor::list_watch_files(screen::kFileListStart);
    const std::string base = prompt_file_base(11);
    stmt(__LINE__, [&] { s_.watchFileName = monitor::watch_file_name(base); });
    stmt(__LINE__, [&] { rt::CLS(0, 1); });
    stmt(__LINE__, [&] {
        s_.requestedMode = DisplayMode::None;
        s_.currentMode = DisplayMode::Log;
    });
    if (!load_watch_file()) {
        draw_dump_page();
        entry_failure();
        return;
    }
    if (base.empty()) {
        entry_failure();
        return;
    }
    draw_legend();
    stmt(__LINE__, [&] { rt::CLS(0, 1); });
}

void QkP877WProgram::change_list_step()
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
    stmt(__LINE__, [&] { change = monitor::note_change(s_.changes.lastValue, s_.changes.changeNumber, *reply); });
    if (!change)
        return;
    std::string date;
    std::string time;
    stmt(__LINE__, [&] { date = monitor::current_date_text(); });
    stmt(__LINE__, [&] { time = monitor::current_time_text(); });
    stmt(__LINE__, [&] { locate(screen::kChangeLine); });
    stmt(__LINE__, [&] {
        print(monitor::change_row_text(*change, screen::kChangeNumberPicture, date, time, entry.label, ""));
    });
    monitor::show_watch_value(entry, *reply, monitor::MonitorKind::QkP877W, 0, monitor::ValueContext::ChangeRow);
    stmt(__LINE__, [&] { print("", kEndLine); });
    stmt(__LINE__, [&] { print("", kEndLine); });
}

}  // namespace qkp877w
