// Qk14, the Z80 board's serial monitor: what it does beyond the shared
// skeleton. Commands are checked strictly (exact lengths, bit numbers) and a
// refused or unanswered one beeps twice and shows "Error"; J moves the dump
// page. F10 asks again until a watch file loads; F11 can keep a change log
// file ("/F" appends, "/D" starts afresh). The legend has an F12 cell and the
// status line shows the data bits and byte order.
#include <string>

#include "monitors/monitor_shared/change_log.h"
#include "monitors/monitor_shared/change_log_file.h"
#include "monitors/monitor_shared/command_request.h"
#include "monitors/monitor_shared/console_output.h"
#include "monitors/monitor_shared/monitor_program.h"
#include "monitors/monitor_shared/program_entry.h"
#include "monitors/monitor_shared/target_link.h"
#include "monitors/monitor_shared/watch_page.h"
#include "monitors/qk14/board_description.h"
#include "monitors/qk14/screen_map.h"
#include "runtime/console/screen_statements.h"
#include "runtime/core/frame.h"
#include "runtime/core/string_functions.h"
#include "runtime/core/string_ops.h"
#include "runtime/files/device_table.h"
#include "runtime/files/file_operations.h"

namespace qk14 {

using monitor::DisplayMode;
using monitor::kEndLine;
using monitor::locate;
using monitor::print;
using monitor::print_blanks;
using monitor::text_colour;
using rt::stmt;

class Qk14Program final : public monitor::MonitorProgram {
public:
    Qk14Program() : MonitorProgram(kBoard) {}

private:
    void draw_own_frame() override;
    void execute_command() override;
    void enter_chosen_watch_page() override;
    void enter_log_mode() override;
    void error_display();
};

void Qk14Program::draw_own_frame()
{
    stmt(__LINE__, [&] { locate(screen::kLegendF12); });
    stmt(__LINE__, [&] { text_colour(screen::kLegendF12Colour); });
    stmt(__LINE__, [&] { print(screen::kLegendF12Text); });
    stmt(__LINE__, [&] { text_colour(screen::kLegendDone); });
}

void Qk14Program::execute_command()
{
    copy_command_row(screen::kCommandCopyLastColumn);
    monitor::CommandOutcome outcome;
    stmt(__LINE__, [&] { outcome = monitor::prepare_command(state_.command_line, kBoard); });
    switch (outcome.kind) {
    case monitor::CommandOutcome::Kind::Refused:
        error_display();
        end_command();
        return;
    case monitor::CommandOutcome::Kind::Jump:
        stmt(__LINE__, [&] { state_.dump_base = outcome.dump_base; });
        draw_dump_page();
        stmt(__LINE__, [&] { locate(monitor::kResponsePlace); });
        stmt(__LINE__, [&] { print_blanks(screen::kJumpResponseClearBlanks, kEndLine); });
        end_command();
        return;
    case monitor::CommandOutcome::Kind::Send:
        state_.link.send(outcome.request);
        break;
    case monitor::CommandOutcome::Kind::NoRequest:
        break;
    }
    const monitor::CommandReply result = state_.link.read_command_reply();
    stmt(__LINE__, [&] {
        state_.reply_failed = result.failed;
        state_.reply = result.reply;
    });
    stmt(__LINE__, [&] { locate(monitor::kResponsePlace); });
    stmt(__LINE__, [&] { print_blanks(screen::kResponseClearBlanks, kEndLine); });
    if (state_.reply_failed) {
        error_display();
    } else {
        stmt(__LINE__, [&] { locate(monitor::kResponsePlace); });
        stmt(__LINE__, [&] { print(state_.reply); });
        stmt(__LINE__, [&] { state_.reply.clear(); });
    }
    end_command();
}

void Qk14Program::error_display()
{
    stmt(__LINE__, [&] { rt::BEEP(); });
    stmt(__LINE__, [&] { rt::BEEP(); });
    stmt(__LINE__, [&] { locate(monitor::kResponsePlace); });
    stmt(__LINE__, [&] { print(screen::response_text({}, true)); });
    stmt(__LINE__, [&] { state_.reply.clear(); });
}

// Asks until a watch file loads; an empty name goes back to the dump page.
void Qk14Program::enter_chosen_watch_page()
{
    for (;;) {
        const std::string base = monitor::typed_file_base(prompt_file_name(screen::kWatchHints));
        take_watch_file(DisplayMode::ChosenWatch, base);
        if (base.empty()) {
            stmt(__LINE__, [&] { state_.current_mode = DisplayMode::None; });
            draw_dump_page();
            stmt(__LINE__, [&] { rt::BEEP(); });
            return;
        }
        if (load_watch_file()) {
            draw_legend();
            return;
        }
    }
}

// Like F10, and with "/F" or "/D" after the name the changes also go to the
// log file of that name.
void Qk14Program::enter_log_mode()
{
    for (;;) {
        stmt(__LINE__, [&] { rt::CLOSE({monitor::kLogFile}); });
        stmt(__LINE__, [&] { state_.log.last_value.clear(); });
        stmt(__LINE__, [&] { state_.log.change_number.reset(); });
        const monitor::LogRequest request = monitor::parse_log_request(prompt_file_name(screen::kLogHints));
        stmt(__LINE__, [&] { state_.log.logging = request.logging; });
        if (request.recreate) {
            // A log file that does not exist is not an error.
            stmt(__LINE__, [&] { rt::ON_ERROR_GOTO([] { rt::RESUME_NEXT(); }); });
            stmt(__LINE__, [&] {
                rt::push_temp(monitor::log_file_name(request.base_name));
                rt::KILL();
            });
            stmt(__LINE__, [&] { rt::ON_ERROR_GOTO({}); });
        }
        take_watch_file(DisplayMode::Log, request.base_name);
        if (request.base_name.empty()) {
            stmt(__LINE__, [&] { state_.current_mode = DisplayMode::None; });
            draw_dump_page();
            stmt(__LINE__, [&] { rt::CLOSE({monitor::kLogFile}); });
            stmt(__LINE__, [&] { rt::BEEP(); });
            return;
        }
        if (!load_watch_file())
            continue;
        draw_legend();
        stmt(__LINE__, [&] { rt::CLS(0, 1); });
        if (state_.log.logging) {
            stmt(__LINE__, [&] { rt::CLOSE({monitor::kLogFile}); });
            state_.log.logging = monitor::open_change_log(monitor::kLogFile, monitor::log_file_name(request.base_name),
                                                          monitor::kResponsePlace);
        }
        return;
    }
}

}  // namespace qk14

int main(int argc, char** argv)
{
    qk14::Qk14Program program;
    return monitor::run_monitor_program(argc, argv, qk14::kBoard, [&program] { program.main_routine(); });
}
