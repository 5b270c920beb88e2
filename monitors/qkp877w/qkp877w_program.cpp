// QkP877W's frame: start-up, the screen frame, the main loop of key step,
// mode step and poll step, F1-F11, the clock, and the command line with its
// execution.
#include "qkp877w_program.h"

#include <string>

#include "key_step.h"
#include "mode_control.h"
#include "monitors/monitor_shared/clock_display.h"
#include "monitors/monitor_shared/command_request.h"
#include "monitors/monitor_shared/command_row_copy.h"
#include "monitors/monitor_shared/console_output.h"
#include "monitors/monitor_shared/legend_drawing.h"
#include "monitors/monitor_shared/target_link.h"
#include "runtime/console/keyboard_reads.h"
#include "runtime/console/screen_statements.h"
#include "runtime/core/frame.h"
#include "runtime/core/string_ops.h"
#include "screen_map.h"

namespace qkp877w {

using monitor::kEndLine;
using monitor::locate;
using monitor::print;
using monitor::print_blanks;
using monitor::text_colour;
using rt::stmt;

void QkP877WProgram::main_routine()
{
    start_up();
    for (;;)
        main_cycle();
}

void QkP877WProgram::start_up()
{
    stmt(__LINE__, [&] { rt::CLS(0, 0); });
    stmt(__LINE__, [&] {
        s_.dumpBase = 0;
        s_.currentMode = DisplayMode::Dump;
        s_.requestedMode = DisplayMode::Dump;
    });
    read_settings();
    draw_frame();
    stmt(__LINE__, [&] { rt::CON_VIEW_REGION(0, screen::kWorkFirstRow, screen::kWorkRows, rt::kRegionTop | rt::kRegionCount); });
    draw_dump_page();
    stmt(__LINE__, [&] { rt::TIMER_INTERVAL(1); });
    stmt(__LINE__, [&] { rt::ON_TIMER_GOSUB([] { monitor::show_clock(false); }); });
    stmt(__LINE__, [&] { rt::TIMER_CTRL(1); });
    for (int key = 1; key <= kBoundFunctionKeys; ++key)
        stmt(__LINE__, [&] { rt::ON_KEY_GOSUB(key, [this, key] { function_key(key); }); });
    switch_function_keys_on();
    monitor::open_channel(s_.settings.channel, 8);
}

void QkP877WProgram::draw_frame()
{
    stmt(__LINE__, [&] { text_colour(screen::kFrameColour); });
    stmt(__LINE__, [&] { locate(screen::kBanner); });
    stmt(__LINE__, [&] { print(screen::kBannerText); });
    stmt(__LINE__, [&] { locate(screen::kLastCommandLabel); });
    stmt(__LINE__, [&] { print(screen::kCommandLabelText); });
    stmt(__LINE__, [&] { locate(screen::kResponseLabel); });
    stmt(__LINE__, [&] { print(screen::kResponseLabelText); });
    stmt(__LINE__, [&] { locate(screen::kCommandLabel); });
    stmt(__LINE__, [&] { print(screen::kCommandLabelText); });
    draw_legend();
    stmt(__LINE__, [&] { locate(screen::kChannel); });
    stmt(__LINE__, [&] { text_colour(screen::kStatusColour); });
    stmt(__LINE__, [&] { print(channel_status_text(s_.settings), kEndLine); });
    stmt(__LINE__, [&] { text_colour(screen::kNormalColour); });
}

void QkP877WProgram::draw_legend()
{
    monitor::draw_legend(static_cast<int>(s_.currentMode), s_.functionKeyNames);
}

void QkP877WProgram::main_cycle()
{
    key_step();
    mode_step();
    poll_step();
}

void QkP877WProgram::switch_function_keys_on()
{
    for (int key = 1; key <= kBoundFunctionKeys; ++key)
        stmt(__LINE__, [&] { rt::KEY_CTRL(key, 1); });
}

void QkP877WProgram::mode_step()
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
            enter_change_list();
    }
    switch_function_keys_on();
}

void QkP877WProgram::poll_step()
{
    const int mode = static_cast<int>(s_.currentMode);
    if (mode == 1)
        read_next_dump_row();
    else if (mode >= 2 && mode <= 10)
        refresh_watch_page();
    else if (mode == 11)
        change_list_step();
}

void QkP877WProgram::function_key(int key)
{
    stmt(__LINE__, [&] { press_function_key(s_, key); });
    stmt(__LINE__, [&] { rt::KEY_CTRL(key, 0); });
}

void QkP877WProgram::key_step()
{
    std::string key;
    KeyAction action = KeyAction::LineEdited;
    stmt(__LINE__, [&] {
        rt::INKEY(0);
        rt::PoppedString typed;
        key = std::string(typed.view());
    });
    stmt(__LINE__, [&] { action = qkp877w::key_step(s_, key); });
    switch (action) {
    case KeyAction::PageMoved:
        draw_dump_page();
        return;
    case KeyAction::Execute:
        execute_command();
        return;
    case KeyAction::LineEdited:
        stmt(__LINE__, [&] { locate(screen::kCommand); });
        stmt(__LINE__, [&] {
            print(s_.commandLine + std::string(static_cast<std::size_t>(screen::kCommandTrailingBlanks), ' '));
        });
        return;
    }
}

void QkP877WProgram::execute_command()
{
    monitor::copy_command_row(screen::kCommandCopyLastColumn);
    stmt(__LINE__, [&] { locate(screen::kResponse); });
    stmt(__LINE__, [&] { print_blanks(screen::kResponseClearBlanks); });
    monitor::CommandOutcome outcome;
    stmt(__LINE__, [&] { outcome = monitor::prepare_command(s_.commandLine, monitor::MonitorKind::QkP877W); });
    if (outcome.kind == monitor::CommandOutcome::Kind::Refused) {
        end_command();  // silently: no beep, no message
        return;
    }
    if (outcome.kind == monitor::CommandOutcome::Kind::Send)
        monitor::send_request(outcome.request);
    const monitor::CommandReply result = monitor::read_command_reply();
    stmt(__LINE__, [&] {
        s_.replyFailed = result.failed;
        s_.reply = result.reply;
    });
    if (!s_.replyFailed) {
        stmt(__LINE__, [&] { locate(screen::kResponse); });
        stmt(__LINE__, [&] { print_blanks(screen::kResponseClearBlanks); });
        stmt(__LINE__, [&] { locate(screen::kResponse); });
        stmt(__LINE__, [&] { print(s_.reply); });
    }
    stmt(__LINE__, [&] { s_.reply.clear(); });
    end_command();
}

void QkP877WProgram::end_command()
{
    stmt(__LINE__, [&] { s_.commandLine.clear(); });
    stmt(__LINE__, [&] { locate(screen::kCommand); });
    stmt(__LINE__, [&] { print_blanks(screen::kCommandClearBlanks); });
}

}  // namespace qkp877w
