// Qk14's frame: start-up, the screen frame and legend, the main loop of key
// step, mode step and poll step, the function keys, the clock, and the
// command line with its execution.
#include "qk14_program.h"

#include <array>
#include <cstdint>

#include "command_display.h"
#include "key_step.h"
#include "mode_control.h"
#include "monitors/monitor_shared/clock_display.h"
#include "monitors/monitor_shared/command_request.h"
#include "monitors/monitor_shared/command_row_copy.h"
#include "monitors/monitor_shared/console_output.h"
#include "monitors/monitor_shared/legend_drawing.h"
#include "monitors/monitor_shared/target_link.h"
#include "runtime/console/keyboard_reads.h"
#include "runtime/console/print_statements.h"
#include "runtime/console/screen_statements.h"
#include "runtime/core/frame.h"
#include "runtime/core/string_functions.h"
#include "runtime/core/string_ops.h"
#include "runtime/files/device_table.h"
#include "screen_map.h"

namespace qk14 {

using monitor::kEndLine;
using monitor::kNoEnd;
using monitor::locate;
using monitor::print;
using monitor::print_blanks;
using monitor::text_colour;
using rt::stmt;

void Qk14Program::main_routine()
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

void Qk14Program::start_up()
{
    stmt(__LINE__, [&] { rt::CON_VIEW_REGION(0, 0, 23, rt::kRegionTop | rt::kRegionCount); });
    stmt(__LINE__, [&] { rt::CLS(0, 0); });
    stmt(__LINE__, [&] {
        s_.currentMode = DisplayMode::Dump;
        s_.requestedMode = DisplayMode::Dump;
    });
    read_settings();
    draw_frame();
    stmt(__LINE__, [&] { rt::CON_VIEW_REGION(0, screen::kWorkFirstRow, screen::kWorkRows, rt::kRegionTop | rt::kRegionCount); });
    draw_dump_page();
    stmt(__LINE__, [&] { rt::TIMER_INTERVAL(1); });
    stmt(__LINE__, [&] { rt::ON_TIMER_GOSUB([this] { clock_tick(); }); });
    stmt(__LINE__, [&] { rt::TIMER_CTRL(1); });
    for (int key = 1; key <= 12; ++key)
        stmt(__LINE__, [&] { rt::ON_KEY_GOSUB(key, [this, key] { function_key(key); }); });
    switch_function_keys_on();
    monitor::open_channel(s_.settings.channel, s_.settings.dataBits);
}

void Qk14Program::draw_frame()
{
    stmt(__LINE__, [&] { text_colour(screen::kFrameColour); });
    stmt(__LINE__, [&] { locate(screen::kBanner.column, screen::kBanner.row); });
    stmt(__LINE__, [&] { print(screen::kBannerText); });
    stmt(__LINE__, [&] { locate(screen::kLastCommandLabel.column, screen::kLastCommandLabel.row); });
    stmt(__LINE__, [&] { print(screen::kCommandLabelText); });
    stmt(__LINE__, [&] { locate(screen::kResponseLabel.column, screen::kResponseLabel.row); });
    stmt(__LINE__, [&] { print(screen::kResponseLabelText); });
    stmt(__LINE__, [&] { locate(screen::kCommandLabel.column, screen::kCommandLabel.row); });
    stmt(__LINE__, [&] { print(screen::kCommandLabelText); });
    draw_legend();
    stmt(__LINE__, [&] { locate(screen::kLegendF12.column, screen::kLegendF12.row); });
    stmt(__LINE__, [&] { text_colour({screen::kLegendF12Colour.colour, screen::kLegendF12Colour.attribute}); });
    stmt(__LINE__, [&] { print(screen::kLegendF12Text); });
    stmt(__LINE__, [&] { text_colour({screen::kLegendDone.colour, screen::kLegendDone.attribute}); });
    stmt(__LINE__, [&] { locate(screen::kChannel.column, screen::kChannel.row); });
    stmt(__LINE__, [&] { text_colour(screen::kStatusColour); });
    stmt(__LINE__, [&] { print(channel_status_text(s_.settings), kEndLine); });
    stmt(__LINE__, [&] { text_colour(screen::kNormalColour); });
    stmt(__LINE__, [&] { locate(screen::kByteOrder.column, screen::kByteOrder.row); });
    stmt(__LINE__, [&] { text_colour(screen::kStatusColour); });
    stmt(__LINE__, [&] { print(s_.settings.byteOrder == 0 ? screen::kLittle : screen::kBig); });
    stmt(__LINE__, [&] { text_colour(screen::kNormalColour); });
}

void Qk14Program::draw_legend()
{
    monitor::draw_legend(static_cast<int>(s_.currentMode), s_.functionKeyNames);
}

void Qk14Program::main_cycle()
{
    key_step();
    mode_step();
    poll_step();
}

void Qk14Program::switch_function_keys_on()
{
    for (int key = 1; key <= 12; ++key)
        stmt(__LINE__, [&] { rt::KEY_CTRL(key, 1); });
}

void Qk14Program::mode_step()
{
    std::optional<DisplayMode> entry;
    stmt(__LINE__, [&] { entry = take_mode_entry(s_); });
    if (entry) {
        const int mode = static_cast<int>(*entry);
        if (mode == 1)
            draw_dump_page();
        else if (mode >= 2 && mode <= 9)
            enter_watch_page(mode);
        else if (mode == 10)
            enter_chosen_watch_page();
        else if (mode == 11)
            enter_log_mode();
    }
    switch_function_keys_on();
}

void Qk14Program::poll_step()
{
    const int mode = static_cast<int>(s_.currentMode);
    if (mode == 1)
        read_next_dump_row();
    else if (mode >= 2 && mode <= 10)
        refresh_watch_page();
    else if (mode == 11)
        log_step();
}

void Qk14Program::function_key(int key)
{
    FunctionKeyEffect effect;
    stmt(__LINE__, [&] { effect = press_function_key(s_, key); });
    if (effect.closeLogFile)
        stmt(__LINE__, [&] { rt::CLOSE({2}); });
    if (effect.switchKeyOff)
        stmt(__LINE__, [&] { rt::KEY_CTRL(key, 0); });
}

void Qk14Program::clock_tick()
{
    monitor::show_clock(s_.linkFault);
}

void Qk14Program::key_step()
{
    std::string key;
    KeyAction action = KeyAction::LineEdited;
    stmt(__LINE__, [&] {
        rt::INKEY(0);
        rt::PoppedString typed;
        key = std::string(typed.view());
    });
    stmt(__LINE__, [&] { action = qk14::key_step(s_, key); });
    switch (action) {
    case KeyAction::Repeat:
        stmt(__LINE__, [&] { locate(screen::kCommand.column, screen::kCommand.row); });
        stmt(__LINE__, [&] { print_blanks(screen::kRepeatClearBlanks, kEndLine); });
        stmt(__LINE__, [&] { locate(screen::kCommand.column, screen::kCommand.row); });
        stmt(__LINE__, [&] { print(s_.commandLine); });
        execute_command();
        return;
    case KeyAction::Restart:
        stmt(__LINE__, [&] { rt::CLOSE(); });
        stmt(__LINE__, [&] { rt::TIMER_CTRL(0); });
        throw Restart{};
    case KeyAction::PageMoved:
        draw_dump_page();
        return;
    case KeyAction::Execute:
        execute_command();
        return;
    case KeyAction::LineEdited:
        stmt(__LINE__, [&] { locate(screen::kCommand.column, screen::kCommand.row); });
        stmt(__LINE__, [&] { print(command_row_text(s_.commandLine)); });
        return;
    }
}

void Qk14Program::execute_command()
{
    monitor::copy_command_row(screen::kCommandCopyLastColumn);
    monitor::CommandOutcome outcome;
    stmt(__LINE__, [&] { outcome = monitor::prepare_command(s_.commandLine, monitor::MonitorKind::Qk14); });
    switch (outcome.kind) {
    case monitor::CommandOutcome::Kind::Refused:
        error_display();
        end_command();
        return;
    case monitor::CommandOutcome::Kind::Jump:
        stmt(__LINE__, [&] { s_.dumpBase = outcome.dumpBase; });
        draw_dump_page();
        stmt(__LINE__, [&] { locate(screen::kResponse.column, screen::kResponse.row); });
        stmt(__LINE__, [&] { print_blanks(screen::kJumpResponseClearBlanks, kEndLine); });
        end_command();
        return;
    case monitor::CommandOutcome::Kind::Send:
        monitor::send_request(outcome.request);
        break;
    case monitor::CommandOutcome::Kind::NoRequest:
        break;
    }
    reply_reader();
    stmt(__LINE__, [&] { locate(screen::kResponse.column, screen::kResponse.row); });
    stmt(__LINE__, [&] { print_blanks(screen::kResponseClearBlanks, kEndLine); });
    if (s_.replyFailed) {
        error_display();
    } else {
        stmt(__LINE__, [&] { locate(screen::kResponse.column, screen::kResponse.row); });
        stmt(__LINE__, [&] { print(s_.reply); });
        stmt(__LINE__, [&] { s_.reply.clear(); });
    }
    end_command();
}

void Qk14Program::error_display()
{
    stmt(__LINE__, [&] { rt::BEEP(); });
    stmt(__LINE__, [&] { rt::BEEP(); });
    stmt(__LINE__, [&] { locate(screen::kResponse.column, screen::kResponse.row); });
    stmt(__LINE__, [&] { print(response_text({}, true)); });
    stmt(__LINE__, [&] { s_.reply.clear(); });
}

void Qk14Program::end_command()
{
    stmt(__LINE__, [&] { finish_command(s_); });
    stmt(__LINE__, [&] { locate(screen::kCommand.column, screen::kCommand.row); });
    stmt(__LINE__, [&] { print_blanks(screen::kCommandClearBlanks); });
}

}  // namespace qk14
