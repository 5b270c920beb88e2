#include "runtime/console/console_report_target.h"

#include "runtime/console/console_records.h"
#include "runtime/console/console_sites.h"
#include "runtime/console/console_writer.h"
#include "runtime/core/error.h"
#include "runtime/core/fatal_report.h"
#include "runtime/core/frame_records.h"

namespace rt::console {

namespace {

ConsoleWindow* main_window() noexcept
{
    ConsoleRecords* records = current_console();
    return records ? records->main_window() : nullptr;
}

[[noreturn]] void terminate_now()
{
    throw ProgramTermination{Runtime::current().frame().exit_code};
}

}  // namespace

bool ConsoleReport::accepts_console_output() const noexcept
{
    // A screen that nobody sees cannot show the report or take the key.
    ConsoleWindow* window = main_window();
    return window && window->screen().state().graphics_text == 0 && window->desktop().front_end().shows_screen();
}

void ConsoleReport::write_text(std::string_view sjis)
{
    if (ConsoleWindow* window = main_window())
        ConsoleWriter(window->screen()).write(sjis);
}

void ConsoleReport::wait_for_key(bool help_enabled)
{
    ConsoleWindow* window = main_window();
    if (!window)
        terminate_now();
    host::Desktop& desktop = window->desktop();
    TextScreenState& s = window->screen().state();
    const int saved_switch = s.cursor_switch;
    if (s.focus == 0)
        desktop.send(host::Message{window->id(), host::MessageKind::SetFocus});
    window->keys().clear();
    s.cursor_switch = 1;
    window->repaint();
    window->set_waiting(true);
    while (window->keys().empty() && window->waiting()) {
        const host::Message m = desktop.get();
        if (m.kind == host::MessageKind::Quit)
            terminate_now();
        // F1 asks for help on the error instead of counting as the key.
        if (help_enabled && m.kind == host::MessageKind::KeyDown && m.key == host::vk::kF1) {
            open_error_help();
            continue;
        }
        desktop.dispatch(m);
        window = main_window();
        if (!window)
            terminate_now();
    }
    window->set_waiting(false);
    s.cursor_switch = saved_switch;
    if (saved_switch == 0)
        window->screen().hide_caret();
    window->keys().clear();
    ConsoleWriter(window->screen()).write("\r\n");
    if (help_enabled)
        close_error_help();
}

}  // namespace rt::console
