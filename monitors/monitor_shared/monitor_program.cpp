#include "monitors/monitor_shared/monitor_program.h"

#include <array>
#include <optional>

#include "monitors/monitor_shared/change_log.h"
#include "monitors/monitor_shared/change_log_file.h"
#include "monitors/monitor_shared/command_request.h"
#include "monitors/monitor_shared/console_output.h"
#include "monitors/monitor_shared/dump_page.h"
#include "monitors/monitor_shared/key_step.h"
#include "monitors/monitor_shared/legend.h"
#include "monitors/monitor_shared/mode_control.h"
#include "monitors/monitor_shared/settings_file.h"
#include "monitors/monitor_shared/target_link.h"
#include "monitors/monitor_shared/watch_page.h"
#include "monitors/monitor_shared/watch_value.h"
#include "runtime/console/input_statements.h"
#include "runtime/console/keyboard_reads.h"
#include "runtime/console/screen_statements.h"
#include "runtime/core/frame.h"
#include "runtime/core/standard_error_note.h"
#include "runtime/core/string_functions.h"
#include "runtime/core/string_ops.h"
#include "runtime/files/device_table.h"
#include "runtime/files/directory_search.h"
#include "runtime/files/field_input.h"

namespace monitor {

using rt::stmt;

namespace {

constexpr ScreenPlace kClockPlace{71, 0};
constexpr std::string_view kClockFault = "Error   ";
constexpr ScreenPlace kByteOrderPlace{24, 1};
constexpr int kWholeScreenRows = 23;
constexpr int kCommandRow = 21;
constexpr int kLastCommandRow = 19;
constexpr std::int16_t kDirectory = 1;
constexpr std::array<int, 4> kFileListColumns{10, 20, 30, 40};
constexpr std::string_view kFilePrompt = "File Name(*.DAT):";
constexpr std::int32_t kPromptAlone = 1;  // the prompt without "? "
// A notice fills the response row to its end.
constexpr std::size_t kNoticeCells = kScreenColumns - kResponsePlace.column;

std::string current_date_text() { return rt::value_of(rt::date_s(rt::lit(""))); }
std::string current_time_text() { return rt::value_of(rt::time_s()); }

}  // namespace

void MonitorProgram::main_routine()
{
    for (;;) {
        try {
            start_up();
            for (;;)
                main_cycle();
        } catch (const Restart&) {
            // Esc: files and the channel closed, the timer off; start again.
        }
    }
}

void MonitorProgram::start_up()
{
    if (board_.restarts_on_escape)
        stmt(__LINE__, [&] { rt::CON_VIEW_REGION(0, 0, kWholeScreenRows, rt::kRegionTop | rt::kRegionCount); });
    stmt(__LINE__, [&] { rt::CLS(0, 0); });
    stmt(__LINE__, [&] {
        state_.current_mode = DisplayMode::Dump;
        state_.requested_mode = DisplayMode::Dump;
    });
    read_settings();
    draw_frame();
    stmt(__LINE__, [&] { rt::CON_VIEW_REGION(0, kWorkFirstRow, kWorkRows, rt::kRegionTop | rt::kRegionCount); });
    draw_dump_page();
    if (!state_.settings.problems.empty())
        show_settings_problems();
    stmt(__LINE__, [&] { rt::TIMER_INTERVAL(1); });
    stmt(__LINE__, [&] { rt::ON_TIMER_GOSUB([this] { clock_tick(); }); });
    stmt(__LINE__, [&] { rt::TIMER_CTRL(1); });
    for (int key = 1; key <= board_.function_key_count; ++key)
        stmt(__LINE__, [&] { rt::ON_KEY_GOSUB(key, [this, key] { function_key(key); }); });
    switch_function_keys_on();
    state_.link.open(state_.settings.channel, state_.settings.data_bits);
}

void MonitorProgram::read_settings()
{
    const bool start_address_read = read_settings_file(state_.settings, board_);
    stmt(__LINE__, [&] { take_settings(state_, start_address_read); });
}

void MonitorProgram::show_settings_problems()
{
    std::string text;
    for (const std::string& problem : state_.settings.problems) {
        text += (text.empty() ? "" : "  ") + problem;
        stmt(__LINE__, [&] { rt::NOTE_ON_STANDARD_ERROR(problem); });
    }
    stmt(__LINE__, [&] { rt::BEEP(); });
    show_notice(text);
}

void MonitorProgram::show_notice(std::string_view text)
{
    stmt(__LINE__, [&] { locate(kResponsePlace); });
    stmt(__LINE__, [&] { print(message_row_text(text, kNoticeCells)); });
    stmt(__LINE__, [&] { state_.notice_shown = true; });
}

void MonitorProgram::clear_notice()
{
    if (!state_.notice_shown)
        return;
    stmt(__LINE__, [&] { locate(kResponsePlace); });
    stmt(__LINE__, [&] { print_blanks(static_cast<int>(kNoticeCells)); });
    stmt(__LINE__, [&] { state_.notice_shown = false; });
}

void MonitorProgram::draw_frame()
{
    stmt(__LINE__, [&] { text_colour(kFrameColour); });
    stmt(__LINE__, [&] { locate(kBannerPlace); });
    stmt(__LINE__, [&] { print(board_.banner_text); });
    stmt(__LINE__, [&] { locate(kLastCommandLabelPlace); });
    stmt(__LINE__, [&] { print(kCommandLabelText); });
    stmt(__LINE__, [&] { locate(kResponseLabelPlace); });
    stmt(__LINE__, [&] { print(kResponseLabelText); });
    stmt(__LINE__, [&] { locate(kCommandLabelPlace); });
    stmt(__LINE__, [&] { print(kCommandLabelText); });
    draw_legend();
    draw_own_frame();
    stmt(__LINE__, [&] { locate(kChannelPlace); });
    stmt(__LINE__, [&] { text_colour(kStatusColour); });
    stmt(__LINE__, [&] { print(channel_status_text(state_.settings, board_), kEndLine); });
    stmt(__LINE__, [&] { text_colour(kNormalColour); });
    if (board_.status_shows_byte_order) {
        stmt(__LINE__, [&] { locate(kByteOrderPlace); });
        stmt(__LINE__, [&] { text_colour(kStatusColour); });
        stmt(__LINE__, [&] { print(byte_order_of(state_.settings.byte_order) == ByteOrder::Little ? "Little" : "Big"); });
        stmt(__LINE__, [&] { text_colour(kNormalColour); });
    }
}

void MonitorProgram::draw_legend()
{
    monitor::draw_legend(state_.current_mode, state_.settings.function_key_names);
}

void MonitorProgram::main_cycle()
{
    key_step();
    mode_step();
    poll_step();
}

void MonitorProgram::switch_function_keys_on()
{
    for (int key = 1; key <= board_.function_key_count; ++key)
        stmt(__LINE__, [&] { rt::KEY_CTRL(key, 1); });
}

void MonitorProgram::mode_step()
{
    std::optional<DisplayMode> entry;
    stmt(__LINE__, [&] { entry = take_mode_entry(state_, board_); });
    if (entry == DisplayMode::Dump)
        draw_dump_page();
    else if (entry == DisplayMode::ChosenWatch)
        enter_chosen_watch_page();
    else if (entry == DisplayMode::Log)
        enter_log_mode();
    else if (entry && is_watch_mode(*entry))
        enter_watch_page(*entry);
    switch_function_keys_on();
}

void MonitorProgram::poll_step()
{
    const DisplayMode mode = state_.current_mode;
    if (mode == DisplayMode::Dump)
        read_next_dump_row();
    else if (is_watch_mode(mode))
        refresh_watch_page();
    else if (mode == DisplayMode::Log)
        log_step();
}

void MonitorProgram::function_key(int key)
{
    FunctionKeyEffect effect;
    stmt(__LINE__, [&] { effect = press_function_key(state_, key, board_); });
    if (effect.close_log_file)
        stmt(__LINE__, [&] { rt::CLOSE({kLogFile}); });
    if (effect.switch_key_off)
        stmt(__LINE__, [&] { rt::KEY_CTRL(key, 0); });
}

void MonitorProgram::clock_tick()
{
    std::int16_t row = 0;
    std::int16_t column = 0;
    stmt(__LINE__, [&] { row = rt::CURSOR_ROW(0); });
    stmt(__LINE__, [&] { column = rt::CURSOR_COLUMN(0, 0); });
    stmt(__LINE__, [&] { locate(kClockPlace); });
    stmt(__LINE__, [&] {
        if (board_.clock_shows_link_fault && state_.link_fault) {
            print(kClockFault);
        } else {
            rt::PRINT_TO_WINDOW(0);
            rt::TIME_S();
            rt::PRINT_STR(kNoEnd);
            rt::PRINT_END();
        }
    });
    stmt(__LINE__, [&] { locate(column, row); });
}

// Takes every waiting key in this cycle, so typing and pasting go at the
// speed they come. It stops at a key that does more than edit the line (Enter,
// the page keys, Esc) and before the next key once a function key has asked
// for its mode: the keys typed after a function key stay queued for where the
// key leads (the runtime raises its event only after the keys typed before
// it), and the mode step follows at once. F12 replays the last command
// without taking a key.
void MonitorProgram::key_step()
{
    for (bool first_key = true;; first_key = false) {
        bool repeat_pending = false;
        bool mode_pending = false;
        stmt(__LINE__, [&] {
            repeat_pending = state_.repeat_requested;
            mode_pending = state_.requested_mode != DisplayMode::None;
        });
        std::string key;
        if (!repeat_pending) {
            if (mode_pending && !first_key)
                return;
            if (!mode_pending) {
                stmt(__LINE__, [&] {
                    rt::INKEY(0);
                    rt::PoppedString typed;
                    key = std::string(typed.view());
                });
            }
            if (key.empty() && !first_key)
                return;
        }
        KeyAction action = KeyAction::LineEdited;
        stmt(__LINE__, [&] { action = monitor::key_step(state_, key, board_); });
        switch (action) {
        case KeyAction::Repeat:
            clear_notice();
            stmt(__LINE__, [&] { locate(kCommandPlace); });
            stmt(__LINE__, [&] { print_blanks(static_cast<int>(kCommandLineMax), kEndLine); });
            stmt(__LINE__, [&] { locate(kCommandPlace); });
            stmt(__LINE__, [&] { print(state_.command_line); });
            execute_command();
            return;
        case KeyAction::Restart:
            stmt(__LINE__, [&] { rt::CLOSE(); });
            state_.link.forget();
            stmt(__LINE__, [&] { rt::TIMER_CTRL(0); });
            throw Restart{};
        case KeyAction::PageMoved:
            draw_dump_page();
            return;
        case KeyAction::Execute:
            clear_notice();
            execute_command();
            return;
        case KeyAction::LineEdited:
            stmt(__LINE__, [&] { locate(kCommandPlace); });
            stmt(__LINE__, [&] { print(command_row_text(state_.command_line, board_.command_trailing_blanks)); });
            if (key.empty())
                return;
            break;
        }
    }
}

void MonitorProgram::copy_command_row(int last_column)
{
    std::array<std::int16_t, 81> cells{};
    const auto count = static_cast<std::size_t>(last_column + 1);
    stmt(__LINE__, [&] {
        rt::CELLS_GET(0, 0, kCommandRow, last_column, kCommandRow, std::span<std::int16_t>(cells.data(), count));
    });
    stmt(__LINE__, [&] {
        rt::CELLS_PUT(0, 0, kLastCommandRow, last_column, kLastCommandRow,
                      std::span<const std::int16_t>(cells.data(), count));
    });
}

void MonitorProgram::end_command()
{
    stmt(__LINE__, [&] { state_.command_line.clear(); });
    stmt(__LINE__, [&] { locate(kCommandPlace); });
    stmt(__LINE__, [&] { print_blanks(board_.command_clear_blanks); });
}

void MonitorProgram::draw_dump_page()
{
    stmt(__LINE__, [&] {
        state_.current_mode = DisplayMode::Dump;
        state_.requested_mode = DisplayMode::None;
    });
    monitor::draw_dump_page(state_.dump_base, board_.help_block, [this] { draw_legend(); });
    stmt(__LINE__, [&] { state_.dump_row_offset = 0; });
}

void MonitorProgram::read_next_dump_row()
{
    // A row that does not come keeps its old contents.
    const bool read = read_dump_row(state_.link, state_.dump_base, state_.dump_row_offset);
    stmt(__LINE__, [&] {
        state_.reply_failed = false;
        state_.reply.clear();
        state_.link_fault = !read;
    });
    stmt(__LINE__, [&] { state_.dump_row_offset = next_dump_row_offset(state_.dump_row_offset); });
}

std::string MonitorProgram::prompt_file_name(std::span<const PlacedText> hints)
{
    stmt(__LINE__, [&] { rt::CLS(0, 1); });
    stmt(__LINE__, [&] { rt::CLS(0, 5); });
    stmt(__LINE__, [&] { locate(board_.file_list_start); });
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
            rt::PoppedString text;
            name = std::string(text.view());
            name.resize(name.size() >= 4 ? name.size() - 4 : 0);
        });
        const std::size_t slot = shown % kFileListColumns.size();
        stmt(__LINE__, [&] { locate(kFileListColumns[slot], rt::CURSOR_ROW(0)); });
        stmt(__LINE__, [&] { print(name, slot + 1 == kFileListColumns.size() ? kEndLine : kNoEnd); });
    }
    stmt(__LINE__, [&] { rt::DIR_CLOSE(kDirectory); });
    for (const PlacedText& hint : hints) {
        stmt(__LINE__, [&] { locate(hint.place); });
        stmt(__LINE__, [&] { print(hint.text); });
    }
    std::string typed;
    stmt(__LINE__, [&] { locate(board_.file_prompt_place); });
    stmt(__LINE__, [&] {
        rt::push_temp(kFilePrompt);
        rt::INPUT_PROMPT(0, kPromptAlone);
        rt::StrVar item;
        const rt::InputTarget target(item);
        rt::INPUT_VARS(std::span<const rt::InputTarget>(&target, 1));
        typed = item.str();
    });
    return typed;
}

void MonitorProgram::take_watch_file(DisplayMode mode, const std::string& base)
{
    stmt(__LINE__, [&] { state_.settings.function_key_names[static_cast<std::size_t>(key_of_mode(mode))] = base; });
    stmt(__LINE__, [&] { state_.watch_file_name = watch_file_name(base); });
    stmt(__LINE__, [&] { rt::CLS(0, 1); });
    stmt(__LINE__, [&] {
        state_.requested_mode = DisplayMode::None;
        state_.current_mode = mode;
    });
}

bool MonitorProgram::load_watch_file()
{
    WatchFileLoad load = load_watch_page(state_.watch_file_name);
    if (!load.page) {
        stmt(__LINE__, [&] {
            state_.watch_file_name.clear();
            state_.reply_failed = true;
        });
        show_notice(load.problem);
        return false;
    }
    clear_notice();
    state_.watch_page = std::move(*load.page);
    if (state_.current_mode != DisplayMode::Log)
        draw_watch_entries(state_.watch_page);
    stmt(__LINE__, [&] { state_.reply_failed = false; });
    return true;
}

void MonitorProgram::enter_watch_page(DisplayMode mode)
{
    const std::string& name = state_.settings.function_key_names[static_cast<std::size_t>(key_of_mode(mode))];
    stmt(__LINE__, [&] { rt::CLS(0, 1); });
    stmt(__LINE__, [&] { rt::CLS(0, 5); });
    stmt(__LINE__, [&] { state_.watch_file_name = watch_file_name(name); });
    stmt(__LINE__, [&] {
        state_.requested_mode = DisplayMode::None;
        state_.current_mode = mode;
    });
    if (!load_watch_file()) {
        stmt(__LINE__, [&] { state_.current_mode = DisplayMode::Dump; });
        draw_dump_page();
        stmt(__LINE__, [&] { rt::BEEP(); });
        return;
    }
    if (name.empty()) {
        stmt(__LINE__, [&] { rt::BEEP(); });
        return;
    }
    draw_legend();
}

void MonitorProgram::refresh_watch_page()
{
    stmt(__LINE__, [&] { state_.reply_failed = false; });
    for (const WatchEntry& entry : state_.watch_page.entries) {
        state_.link.send(*watch_request(entry));
        const std::optional<std::string> reply = state_.link.read_watch_reply([this] { state_.link_fault = false; });
        if (!reply) {
            // The rest keep their old values this cycle.
            stmt(__LINE__, [&] { state_.link_fault = true; });
            return;
        }
        stmt(__LINE__, [&] { locate(value_place(entry)); });
        show_watch_value(entry, *reply, board_, state_.settings.byte_order, ValueContext::WatchPage);
    }
}

void MonitorProgram::log_step()
{
    stmt(__LINE__, [&] { state_.reply_failed = false; });
    if (state_.watch_page.entries.empty())
        return;  // an empty page sends nothing
    const WatchEntry& entry = state_.watch_page.entries.front();
    state_.link.send(*watch_request(entry));
    const std::optional<std::string> reply = state_.link.read_watch_reply();
    if (!reply)
        return;
    std::optional<std::uint32_t> change;
    stmt(__LINE__, [&] { change = note_change(state_.log.last_value, state_.log.change_number, *reply); });
    if (!change)
        return;
    std::string date;
    std::string time;
    stmt(__LINE__, [&] { date = current_date_text(); });
    stmt(__LINE__, [&] { time = current_time_text(); });
    if (state_.log.logging)
        state_.log.logging = append_change_log(
            kLogFile, log_file_name(state_.settings.function_key_names[static_cast<std::size_t>(key_of_mode(DisplayMode::Log))]),
            change_log_line(*change, date, time, *reply), kResponsePlace);
    stmt(__LINE__, [&] { locate(kChangeRowPlace); });
    stmt(__LINE__, [&] {
        print(change_row_text(*change, board_.change_number_picture, date, time, entry.label, ""));
    });
    show_watch_value(entry, *reply, board_, state_.settings.byte_order, ValueContext::ChangeRow);
    stmt(__LINE__, [&] { print("", kEndLine); });
    stmt(__LINE__, [&] { print("", kEndLine); });
}

}  // namespace monitor
