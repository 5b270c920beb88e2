#include "runtime/console/keyboard_reads.h"

#include "runtime/console/console_records.h"
#include "runtime/console/console_sites.h"
#include "runtime/console/key_codes.h"
#include "runtime/core/error.h"
#include "runtime/core/frame.h"
#include "runtime/core/frame_records.h"
#include "runtime/core/string_ops.h"

namespace rt {

void INKEY(std::uint32_t window_reference)
{
    console::ConsoleRecords* records = console::current_console();
    if (window_reference == 0 && records && !records->main_window())
        console::end_program_without_window();
    console::ConsoleWindow& window = console::resolve_window(window_reference, console::site::kInkeyWindow);
    const auto code = window.keys().pop();
    if (!code) {
        STR_PUSH_EMPTY();
        return;
    }
    if (*code == console::key::kBreak) {
        run_break_routine();
        STR_PUSH_EMPTY();
        return;
    }
    const char byte = static_cast<char>(*code == console::key::kDelete ? console::key::kDeleteAsRead : *code);
    push_temp(std::string_view(&byte, 1));
}

}  // namespace rt

namespace rt::console {

std::uint8_t read_key_blocking()
{
    for (;;) {
        ConsoleRecords* records = current_console();
        ConsoleWindow* window = records ? records->main_window() : nullptr;
        if (!window)
            return key::kClosing;
        if (const auto code = window->keys().pop()) {
            if (*code == key::kBreak)
                run_break_routine();
            return *code;
        }
        pump_one_message();
        run_due_events();
    }
}

void end_program_without_window()
{
    pump_messages();  // the quit message ends the program here
    throw ProgramTermination{Runtime::current().frame().exit_code};
}

}  // namespace rt::console
