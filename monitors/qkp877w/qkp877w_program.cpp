// QkP877W, the PIC16F877 board's serial monitor: what it does beyond the
// shared skeleton. Commands take minimum lengths and fail silently (row 20
// stays blank); the arrows toggle the dump page between 000 and 100. F10 and
// F11 ask once: a name that does not load goes back to the dump page and
// blanks part of the legend row. F11 shows a change list on screen only, and
// its last value survives from one visit to the next.
#include <string>

#include "monitors/monitor_shared/command_request.h"
#include "monitors/monitor_shared/console_output.h"
#include "monitors/monitor_shared/monitor_program.h"
#include "monitors/monitor_shared/program_entry.h"
#include "monitors/monitor_shared/target_link.h"
#include "monitors/monitor_shared/watch_page.h"
#include "monitors/qkp877w/board_description.h"
#include "monitors/qkp877w/screen_map.h"
#include "runtime/console/screen_statements.h"
#include "runtime/core/frame.h"
#include "runtime/core/string_functions.h"

namespace qkp877w {

using monitor::DisplayMode;
using monitor::locate;
using monitor::print;
using monitor::print_blanks;
using rt::stmt;

class QkP877WProgram final : public monitor::MonitorProgram {
public:
    QkP877WProgram() : MonitorProgram(kBoard) {}

private:
    void execute_command() override;
    void enter_chosen_watch_page() override;
    void enter_log_mode() override;
    // F10 and F11: the name typed, then the page or the failure.
    void enter_file_mode(DisplayMode mode);
    void entry_failure();
};

void QkP877WProgram::execute_command()
{
    copy_command_row(screen::kCommandCopyLastColumn);
    stmt(__LINE__, [&] { locate(monitor::kResponsePlace); });
    stmt(__LINE__, [&] { print_blanks(screen::kResponseClearBlanks); });
    monitor::CommandOutcome outcome;
    stmt(__LINE__, [&] { outcome = monitor::prepare_command(state_.command_line, kBoard); });
    if (outcome.kind == monitor::CommandOutcome::Kind::Refused) {
        end_command();  // silently: no beep, no message
        return;
    }
    if (outcome.kind == monitor::CommandOutcome::Kind::Send)
        state_.link.send(outcome.request);
    const monitor::CommandReply result = state_.link.read_command_reply();
    stmt(__LINE__, [&] {
        state_.reply_failed = result.failed;
        state_.reply = result.reply;
    });
    if (!state_.reply_failed) {
        stmt(__LINE__, [&] { locate(monitor::kResponsePlace); });
        stmt(__LINE__, [&] { print_blanks(screen::kResponseClearBlanks); });
        stmt(__LINE__, [&] { locate(monitor::kResponsePlace); });
        stmt(__LINE__, [&] { print(state_.reply); });
    }
    stmt(__LINE__, [&] { state_.reply.clear(); });
    end_command();
}

void QkP877WProgram::enter_chosen_watch_page()
{
    enter_file_mode(DisplayMode::ChosenWatch);
}

void QkP877WProgram::enter_log_mode()
{
    stmt(__LINE__, [&] { state_.log.change_number.reset(); });
    enter_file_mode(DisplayMode::Log);
}

void QkP877WProgram::enter_file_mode(DisplayMode mode)
{
    const std::string base = monitor::typed_file_base(prompt_file_name({}));
    take_watch_file(mode, base);
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
    if (mode == DisplayMode::Log)
        stmt(__LINE__, [&] { rt::CLS(0, 1); });
}

void QkP877WProgram::entry_failure()
{
    stmt(__LINE__, [&] { locate(screen::kEntryFailureBlank); });
    stmt(__LINE__, [&] { print_blanks(screen::kEntryFailureBlanks); });
    stmt(__LINE__, [&] { rt::BEEP(); });
}

}  // namespace qkp877w

int main(int argc, char** argv)
{
    qkp877w::QkP877WProgram program;
    return monitor::run_monitor_program(argc, argv, qkp877w::kBoard, [&program] { program.main_routine(); });
}
