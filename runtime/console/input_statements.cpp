#include "runtime/console/input_statements.h"

#include <string>

#include "runtime/console/console_records.h"
#include "runtime/console/console_sites.h"
#include "runtime/console/console_writer.h"
#include "runtime/console/keyboard_reads.h"
#include "runtime/console/line_editor.h"
#include "runtime/core/error.h"
#include "runtime/core/event_table.h"
#include "runtime/core/frame.h"
#include "runtime/core/frame_records.h"
#include "runtime/core/string_ops.h"
#include "runtime/files/device_table.h"

namespace rt {

namespace {

constexpr std::uint8_t kPrintPromptText = 1;
constexpr std::uint8_t kPrintQuestionMark = 2;
constexpr std::string_view kQuestionMark = "? ";
// "もう一度入力してください" (enter it again), Shift-JIS.
constexpr std::string_view kRetryNotice =
    "\x82\xE0\x82\xA4\x88\xEA\x93\x78\x93\xFC\x97\xCD\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2\r\n";

bool user_break_armed()
{
    const std::uint16_t flags = Runtime::current().frame().events.flags(kEventBreak);
    return (flags & EventTable::kArmed) && !(flags & EventTable::kHeld);
}

void repaint_if_scrolled(console::ConsoleWindow& window)
{
    if (window.screen().scrolled_mark())
        window.repaint();
}

// One edited line on the main console window; ends the program when it is closing.
std::string edit_line(console::ConsoleWindow& window)
{
    console::LineEditor editor(window,
                               console::LineEditor::Hooks{console::read_key_blocking, user_break_armed, run_break_routine},
                               Runtime::current().options().shift_home_clears_screen);
    std::string line;
    if (!editor.edit(line))
        console::end_program_without_window();
    return line;
}

}  // namespace

void INPUT_PROMPT(std::uint32_t window_reference, std::int32_t mode)
{
    std::string prompt;
    if (mode != 0) {
        PoppedString text;
        prompt.assign(text.view().substr(0, console::kMaxLineLength));
    }
    console::ConsoleWindow& window = console::resolve_window(window_reference, console::site::kInputPromptWindow);
    if (window.screen().state().graphics_text != 0)
        RAISE_ERROR(err::kBadWindowState, console::site::kInputPromptGraphicsText);
    console::InputSource& input = console::current_console()->input;
    input.from_window = true;
    input.prompt = std::move(prompt);
    input.prompt_flags = mode == 0 ? kPrintQuestionMark : mode == 1 ? kPrintPromptText : kPrintPromptText | kPrintQuestionMark;
    repaint_if_scrolled(window);
}

void INPUT_VARS(std::span<const InputTarget> targets)
{
    check_input_targets(targets, console::site::kInputVarsType);
    if (input_vars_from_device(targets))
        return;
    console::ConsoleRecords* records = console::current_console();
    if (!records)
        RAISE_ERROR(err::kBadWindow, console::site::kInputVarsField);
    const console::InputSource source = records->input;
    records->input = console::InputSource{};
    DeviceTable::current().clear_input_source();
    for (;;) {
        console::ConsoleWindow& window = console::resolve_window(0, console::site::kInputVarsField);
        console::ConsoleWriter writer(window.screen());
        if (source.prompt_flags & kPrintPromptText)
            writer.write(source.prompt);
        if (source.prompt_flags & kPrintQuestionMark)
            writer.write(kQuestionMark);
        const std::string line = edit_line(window);
        if (assign_fields_from_line(line, targets, true, console::site::kInputVarsRange))
            return;
        console::ConsoleWriter(console::resolve_window(0, console::site::kInputVarsField).screen()).write(kRetryNotice);
    }
}

}  // namespace rt
