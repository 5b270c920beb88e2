#include "runtime/console/print_statements.h"

#include <new>

#include "runtime/console/console_records.h"
#include "runtime/console/console_sites.h"
#include "runtime/console/console_writer.h"
#include "runtime/console/print_formatter.h"
#include "runtime/core/error.h"
#include "runtime/core/string_ops.h"
#include "runtime/files/device_table.h"
#include "runtime/files/file_sites.h"
#include "runtime/files/open_specification.h"

namespace rt {

namespace {

console::ConsoleRecords& records(std::uint16_t site)
{
    console::ConsoleRecords* r = console::current_console();
    if (!r)
        RAISE_ERROR(err::kBadWindow, site);
    return *r;
}

// The selected device; nullptr for the console window. A file number closed
// since it was selected gives 57.
Device* selected_device(const console::OutputChannel& output)
{
    if (output.to_window)
        return nullptr;
    Device* device = DeviceTable::current().device_at(output.slot);
    if (!device || DeviceTable::current().slot_of(output.file_number) != output.slot)
        RAISE_ERROR(err::kFileNotOpen, console::site::kPrintToFileNotOpen);
    return device;
}

}  // namespace

void PRINT_TO_WINDOW(std::uint32_t window)
{
    console::resolve_window(window, console::site::kPrintToWindow);
    records(console::site::kPrintToWindow).output = console::OutputChannel{};
}

void PRINT_TO_FILE(std::int32_t file_number)
{
    DeviceTable& table = DeviceTable::current();
    table.open_device(file_number, console::site::kPrintToFileNumber);
    console::OutputChannel& output = records(console::site::kPrintToFileNumber).output;
    output.to_window = false;
    output.slot = table.slot_of(file_number);
    output.file_number = static_cast<std::uint16_t>(file_number);
}

void PRINT_STR(std::uint16_t separator)
{
    PoppedString item;
    console::print_item(item.view(), separator);
}

std::int16_t CURSOR_COLUMN(std::uint32_t window, std::int32_t file_number)
{
    auto console_column = [&] {
        const console::TextScreenState& s = console::resolve_window(window, console::site::kCursorColumnWindow).screen().state();
        if (s.graphics_text != 0)
            RAISE_ERROR(err::kBadWindowState, console::site::kCursorColumnWindow);
        return static_cast<std::int16_t>(s.cursor_column);
    };
    if (file_number == 0)
        return console_column();
    Device& device = DeviceTable::current().open_device(file_number, console::site::kCursorColumnFileNumber);
    if (device.device_class() == DeviceClass::Screen)
        return console_column();
    if (FileState* state = device.state())
        return static_cast<std::int16_t>(state->output_column);
    return 0;
}

}  // namespace rt

namespace rt::console {

void print_item(std::string_view text, int separator)
{
    ConsoleRecords& r = records(site::kPrintStrFormat);
    Device* device = selected_device(r.output);
    PrintTarget target;
    FileState* file_state = nullptr;
    ConsoleWindow* window = nullptr;
    if (!device || device->device_class() == DeviceClass::Screen) {
        window = &resolve_window(0, site::kPrintStrFormat);
        const TextScreenState& s = window->screen().state();
        target = PrintTarget{s.cursor_column, s.print_width, true, s.graphics_text == 0};
    } else if (device->device_class() == DeviceClass::Keyboard) {
        RAISE_ERROR(err::kBadFileMode, site::kDeviceOutputKeyboard);
    } else if ((file_state = device->state())) {
        target = PrintTarget{file_state->output_column, file_state->line_width, false, false};
    }
    FormattedItem formatted;
    try {
        formatted = format_print_item(text, target, separator);
    } catch (const std::bad_alloc&) {
        RAISE_ERROR(err::kTableTooLarge, site::kPrintStrMemory);
    }
    if (file_state)
        file_state->output_column = static_cast<std::uint16_t>(formatted.column);
    if (window)
        ConsoleWriter(window->screen()).write(formatted.text);
    else
        device->write(formatted.text, site::kDeviceOutput);
}

void write_to_output(std::string_view bytes)
{
    ConsoleRecords& r = records(site::kDeviceOutput);
    Device* device = selected_device(r.output);
    if (!device || device->device_class() == DeviceClass::Screen)
        ConsoleWriter(resolve_window(0, site::kDeviceOutput).screen()).write(bytes);
    else if (device->device_class() == DeviceClass::Keyboard)
        RAISE_ERROR(err::kBadFileMode, site::kDeviceOutputKeyboard);
    else
        device->write(bytes, site::kDeviceOutput);
}

}  // namespace rt::console
