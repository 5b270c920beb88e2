// Qk14's views: the settings file, the dump page, the watch pages with their
// file list and prompts, and the change log of mode 11.
#include <algorithm>
#include <cstdint>
#include <string>

#include "monitors/monitor_shared/change_log.h"
#include "monitors/monitor_shared/console_output.h"
#include "monitors/monitor_shared/dump_page.h"
#include "monitors/monitor_shared/watch_page.h"
#include "monitors/monitor_shared/watch_value.h"
#include "qk14_program.h"
#include "runtime/console/input_statements.h"
#include "runtime/console/screen_statements.h"
#include "runtime/core/basic_string.h"
#include "runtime/core/error.h"
#include "runtime/core/frame.h"
#include "runtime/core/number_conversions.h"
#include "runtime/core/number_text.h"
#include "runtime/core/string_functions.h"
#include "runtime/drawing/line_draw.h"
#include "runtime/files/device_table.h"
#include "runtime/files/directory_search.h"
#include "runtime/files/field_input.h"
#include "runtime/files/file_operations.h"
#include "screen_map.h"

namespace qk14 {

using monitor::kEndLine;
using monitor::kNoEnd;
using monitor::locate;
using monitor::print;
using monitor::print_blanks;
using monitor::text_colour;
using rt::stmt;

namespace {

constexpr std::int32_t kSettingsFile = 1;
constexpr std::int32_t kWatchFile = 2;
constexpr std::int16_t kDirectory = 1;
constexpr int kLoadEnd = 1;  // label at the end of the watch file load
// A memory entry whose count character is not a hexadecimal digit has no
// command code: the load refuses the file (illegal argument) instead of
// sending a code outside 0-255.
constexpr std::uint16_t kSiteBadWatchCount = 0x0101;
constexpr std::uint16_t kSiteTooManyEntries = 0x0102;

// VAL of a text.
double value_of(std::string_view text)
{
    rt::push_temp(text);
    return rt::VAL();
}

// Reads one text item of the input statement into a string.
std::string input_text_item()
{
    rt::StrVar item;
    const rt::InputTarget target(item.descriptor());
    rt::INPUT_VARS(std::span<const rt::InputTarget>(&target, 1));
    return item.str();
}

std::string popped_text()
{
    rt::PoppedString text;
    return std::string(text.view());
}

std::string date_text()
{
    rt::push_temp("");
    rt::DATE_S();
    return popped_text();
}

std::string time_text()
{
    rt::TIME_S();
    return popped_text();
}

}  // namespace

void Qk14Program::read_settings()
{
    stmt(__LINE__, [&] {
        rt::push_temp("QK.DEF");
        rt::OPEN(1, 3, kSettingsFile);
    });
    for (;;) {
        bool at_end = false;
        stmt(__LINE__, [&] { at_end = rt::FILE_EOF(kSettingsFile) != 0; });
        if (at_end)
            break;
        std::string record;
        stmt(__LINE__, [&] { rt::INPUT_FROM_FILE(kSettingsFile); });
        stmt(__LINE__, [&] { record = input_text_item(); });
        const std::string key = record.substr(0, 3);
        const std::string value = record.size() > 3 ? record.substr(3) : std::string();
        monitor::Settings& settings = s_.settings;
        if (key.size() == 3 && key[0] == 'F' && key[1] >= '2' && key[1] <= '9' && key[2] == '=')
            stmt(__LINE__, [&] { settings.functionKeyNames[static_cast<std::size_t>(key[1] - '2')] = value; });
        else if (key == "CH=")
            stmt(__LINE__, [&] { settings.channel = rt::REAL_TO_I16_CHECK(value_of(value)); });
        else if (key == "BT=")
            stmt(__LINE__, [&] { settings.dataBits = rt::REAL_TO_I16_CHECK(value_of(value)); });
        else if (key == "BL=")
            stmt(__LINE__, [&] { settings.byteOrder = rt::REAL_TO_I16_CHECK(value_of(value)); });
        else if (key == "AD=")
            stmt(__LINE__, [&] {
                settings.startAddress =
                    static_cast<std::uint16_t>(rt::REAL_TO_I32_CHECK(value_of("&H" + value)) & 0xFF00);
                s_.dumpBase = settings.startAddress;
            });
        stmt(__LINE__, [&] {
            if (settings.dataBits != 7)
                settings.dataBits = 8;
        });
    }
    stmt(__LINE__, [&] { rt::CLOSE({kSettingsFile}); });
    for (int key = 2; key <= 9; ++key)
        s_.functionKeyNames[static_cast<std::size_t>(key)] = s_.settings.name_of_key(key);
}

void Qk14Program::draw_dump_page()
{
    stmt(__LINE__, [&] { rt::CLS(0, 1); });
    stmt(__LINE__, [&] { locate(screen::kDumpHeader.column, screen::kDumpHeader.row); });
    stmt(__LINE__, [&] {
        s_.currentMode = DisplayMode::Dump;
        s_.requestedMode = DisplayMode::None;
    });
    stmt(__LINE__, [&] { text_colour(screen::kDumpHeaderColour); });
    stmt(__LINE__, [&] { print(screen::kDumpHeaderText, kEndLine); });
    stmt(__LINE__, [&] { text_colour(screen::kNormalColour); });
    for (int k = 0; k < monitor::kDumpRows; ++k) {
        stmt(__LINE__, [&] { text_colour(screen::kDumpAddressColour); });
        stmt(__LINE__, [&] { locate(screen::kDumpAddressColumn, screen::kDumpFirstRow + k); });
        stmt(__LINE__, [&] { print(monitor::address_text(s_.dumpBase + 16u * static_cast<unsigned>(k))); });
        stmt(__LINE__, [&] { text_colour(screen::kNormalColour); });
        stmt(__LINE__, [&] { print(screen::kDumpPlaceholder); });
    }
    stmt(__LINE__, [&] { text_colour(screen::kDumpLineTextColour); });
    stmt(__LINE__, [&] { monitor::drawing_colour(screen::kDumpLineDrawColour); });
    for (const screen::Line& line : screen::kDumpLines)
        stmt(__LINE__, [&] {
            rt::LINE_DRAW(0, 0, static_cast<float>(line.x1), static_cast<float>(line.y1), 0, static_cast<float>(line.x2),
                          static_cast<float>(line.y2), rt::kDrawModeNotGiven, 0, rt::line_shape::Line, 0,
                          rt::kLineStyleNotGiven, 3);
        });
    stmt(__LINE__, [&] { text_colour(screen::kNormalColour); });
    draw_legend();
    for (const screen::PlacedText& help : screen::kHelpBlock) {
        stmt(__LINE__, [&] { locate(help.place.column, help.place.row); });
        stmt(__LINE__, [&] { print(help.text); });
    }
    stmt(__LINE__, [&] { s_.dumpRowOffset = 0; });
}

void Qk14Program::read_next_dump_row()
{
    send(monitor::dump_row_request(s_.dumpBase, s_.dumpRowOffset));
    reply_reader();
    if (s_.replyFailed) {
        stmt(__LINE__, [&] {
            s_.replyFailed = false;
            s_.linkFault = true;
            s_.reply.clear();
        });
    } else {
        stmt(__LINE__, [&] { s_.linkFault = false; });
        stmt(__LINE__, [&] { locate(screen::kDumpBytesColumn, monitor::dump_row_screen_row(s_.dumpRowOffset)); });
        stmt(__LINE__, [&] { print(monitor::dump_row_text(s_.reply)); });
    }
    stmt(__LINE__, [&] { s_.dumpRowOffset = monitor::next_dump_row_offset(s_.dumpRowOffset); });
}

bool Qk14Program::load_watch_file()
{
    bool failed = false;
    monitor::WatchPage page;
    rt::label_scope(kLoadEnd, [&] {
        if (failed)
            return;
        stmt(__LINE__, [&] { rt::CLOSE({kWatchFile}); });
        stmt(__LINE__, [&] {
            rt::ON_ERROR_GOTO([&] {
                stmt(__LINE__, [&] { rt::CLOSE({kWatchFile}); });
                stmt(__LINE__, [&] {
                    s_.watchFileName.clear();
                    s_.replyFailed = true;
                    failed = true;
                });
                stmt(__LINE__, [&] { rt::ON_ERROR_GOTO({}); });
                rt::RESUME_LABEL(kLoadEnd);
            });
        });
        stmt(__LINE__, [&] {
            rt::push_temp(s_.watchFileName);
            rt::OPEN(1, 0, kWatchFile);
        });
        for (;;) {
            bool at_end = false;
            stmt(__LINE__, [&] { at_end = rt::FILE_EOF(kWatchFile) != 0; });
            if (at_end)
                break;
            monitor::WatchEntry entry;
            stmt(__LINE__, [&] {
                if (page.entries.size() >= monitor::kWatchEntriesMax)
                    rt::RAISE_ERROR(rt::err::SubscriptOutOfRange, kSiteTooManyEntries);
            });
            stmt(__LINE__, [&] { rt::INPUT_FROM_FILE(kWatchFile); });
            stmt(__LINE__, [&] {
                rt::StrVar fields[5];
                const rt::InputTarget targets[5] = {fields[0].descriptor(), fields[1].descriptor(), fields[2].descriptor(),
                                                    fields[3].descriptor(), fields[4].descriptor()};
                rt::INPUT_VARS(targets);
                entry.columnText = fields[0].str();
                entry.rowText = fields[1].str();
                entry.label = fields[2].str();
                entry.addressField = fields[3].str();
                entry.format = fields[4].str();
            });
            stmt(__LINE__, [&] { entry.column = rt::REAL_TO_I16_CHECK(value_of(entry.columnText)); });
            stmt(__LINE__, [&] { entry.row = rt::REAL_TO_I16_CHECK(value_of(entry.rowText)); });
            stmt(__LINE__, [&] {
                const rt::CharacterCounts counts = rt::count_characters(entry.label);
                page.labelWidth = std::max<std::size_t>(page.labelWidth,
                                                        static_cast<std::size_t>(2 * counts.double_byte + counts.single_byte));
            });
            stmt(__LINE__, [&] {
                if (!monitor::watch_request(entry))
                    rt::RAISE_ERROR(rt::err::IllegalArgument, kSiteBadWatchCount);
            });
            page.entries.push_back(std::move(entry));
        }
        stmt(__LINE__, [&] { rt::CLOSE({kWatchFile}); });
        stmt(__LINE__, [&] { rt::ON_ERROR_GOTO({}); });
    });
    if (failed)
        return false;
    s_.watchPage = std::move(page);
    stmt(__LINE__, [&] { locate(screen::kLoadClear.column, screen::kLoadClear.row); });
    stmt(__LINE__, [&] { print_blanks(screen::kLoadClearBlanks, kEndLine); });
    for (monitor::WatchEntry& entry : s_.watchPage.entries) {
        entry.valueColumn = entry.column + static_cast<std::int32_t>(s_.watchPage.labelWidth) + monitor::kWatchStaticWidth;
        entry.valueRow = entry.row;
    }
    if (s_.currentMode != DisplayMode::Log)
        draw_watch_entries();
    stmt(__LINE__, [&] { s_.replyFailed = false; });
    return true;
}

void Qk14Program::draw_watch_entries()
{
    for (const monitor::WatchEntry& entry : s_.watchPage.entries) {
        stmt(__LINE__, [&] { locate(monitor::label_place(entry)); });
        stmt(__LINE__, [&] { print(entry.label); });
        stmt(__LINE__, [&] { locate(monitor::static_text_place(entry, s_.watchPage)); });
        stmt(__LINE__, [&] { print(monitor::watch_static_text(entry)); });
    }
}

void Qk14Program::show_value(const monitor::WatchEntry& entry, std::string_view reply, bool log_line)
{
    const std::optional<std::string> text =
        monitor::watch_value_text(entry.format, reply, monitor::qk14_value_style(s_.settings.byteOrder));
    if (!log_line && entry.format == "Q") {
        stmt(__LINE__, [&] { print_blanks(monitor::kWordEraseWidth); });
        stmt(__LINE__, [&] { locate(monitor::value_place(entry)); });
    }
    if (text)
        stmt(__LINE__, [&] { print(*text, log_line && entry.format == "W" ? kEndLine : kNoEnd); });
}

void Qk14Program::refresh_watch_page()
{
    stmt(__LINE__, [&] { s_.replyFailed = false; });
    for (const monitor::WatchEntry& entry : s_.watchPage.entries) {
        send(*monitor::watch_request(entry));
        const std::optional<std::string> reply = watch_reply(true);
        if (!reply) {
            stmt(__LINE__, [&] { s_.linkFault = true; });
            return;
        }
        stmt(__LINE__, [&] { locate(monitor::value_place(entry)); });
        show_value(entry, *reply, false);
    }
}

void Qk14Program::file_list()
{
    stmt(__LINE__, [&] { locate(screen::kFileListStart.column, screen::kFileListStart.row); });
    stmt(__LINE__, [&] {
        rt::push_temp("*.DAT");
        rt::DIR_OPEN(kDirectory);
    });
    for (std::size_t shown = 0;; ++shown) {
        bool at_end = false;
        std::string name;
        stmt(__LINE__, [&] { rt::DIR_NEXT(kDirectory); });
        stmt(__LINE__, [&] { at_end = rt::DIR_EOF(kDirectory) != 0; });
        if (at_end)
            break;
        stmt(__LINE__, [&] {
            rt::DIR_INFO(kDirectory, 0);
            name = popped_text();
            name.resize(name.size() >= 4 ? name.size() - 4 : 0);
        });
        const std::size_t slot = shown % screen::kFileListColumns.size();
        stmt(__LINE__, [&] { locate(screen::kFileListColumns[slot], rt::CURSOR_ROW(0)); });
        stmt(__LINE__, [&] { print(name, slot + 1 == screen::kFileListColumns.size() ? kEndLine : kNoEnd); });
    }
    stmt(__LINE__, [&] { rt::DIR_CLOSE(kDirectory); });
}

std::string Qk14Program::prompt_file_name(int key)
{
    std::string typed;
    stmt(__LINE__, [&] { locate(screen::kFilePromptPlace.column, screen::kFilePromptPlace.row); });
    stmt(__LINE__, [&] {
        rt::push_temp(screen::kFilePrompt);
        rt::INPUT_PROMPT(0, 1);
        typed = input_text_item();
    });
    s_.functionKeyNames[static_cast<std::size_t>(key)] = typed;
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
        file_list();
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
        stmt(__LINE__, [&] { rt::CLOSE({kWatchFile}); });
        stmt(__LINE__, [&] { s_.log.lastLoggedValue.clear(); });
        stmt(__LINE__, [&] { rt::CLS(0, 1); });
        stmt(__LINE__, [&] { rt::CLS(0, 5); });
        stmt(__LINE__, [&] { s_.log.changeNumber.reset(); });
        file_list();
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
            stmt(__LINE__, [&] { rt::CLOSE({kWatchFile}); });
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
            stmt(__LINE__, [&] { rt::CLOSE({kWatchFile}); });
            stmt(__LINE__, [&] {
                rt::push_temp(monitor::log_file_name(request.baseName));
                rt::OPEN(3, 1, kWatchFile);
            });
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
    send(*monitor::watch_request(entry));
    const std::optional<std::string> reply = watch_reply(false);
    if (!reply)
        return;
    std::optional<std::uint32_t> change;
    stmt(__LINE__, [&] { change = monitor::note_change(s_.log.lastLoggedValue, s_.log.changeNumber, *reply); });
    if (!change)
        return;
    std::string date;
    std::string time;
    stmt(__LINE__, [&] { date = date_text(); });
    stmt(__LINE__, [&] { time = time_text(); });
    if (s_.log.logging)
        stmt(__LINE__, [&] { monitor::print_to_file(kWatchFile, monitor::change_log_line(*change, date, time, *reply), kEndLine); });
    stmt(__LINE__, [&] { locate(screen::kLogLine.column, screen::kLogLine.row); });
    stmt(__LINE__, [&] {
        print(monitor::change_row_text(*change, screen::kLogNumberPicture, date, time, entry.label, ""));
    });
    show_value(entry, *reply, true);
    stmt(__LINE__, [&] { print("", kEndLine); });
    stmt(__LINE__, [&] { print("", kEndLine); });
}

}  // namespace qk14
