#include "runtime/console/console_devices.h"

#include "runtime/console/console_records.h"
#include "runtime/console/console_sites.h"
#include "runtime/console/console_writer.h"
#include "runtime/console/key_codes.h"
#include "runtime/console/keyboard_reads.h"
#include "runtime/core/error.h"

namespace rt::console {

namespace {

ConsoleWindow& main_window(std::uint16_t site)
{
    return resolve_window(0, site);
}

}  // namespace

KeyboardDevice::KeyboardDevice()
{
    name_ = "KYBD:";
}

std::int32_t KeyboardDevice::loc(std::uint16_t site)
{
    return main_window(site).keys().size();
}

bool KeyboardDevice::eof(std::uint16_t site)
{
    return main_window(site).keys().empty();
}

std::string KeyboardDevice::read(std::uint32_t count, std::uint16_t)
{
    std::string text;
    text.reserve(count);
    while (text.size() < count) {
        const std::uint8_t code = read_key_blocking();
        if (code == key::kClosing && !(current_console() && current_console()->main_window()))
            return {};
        if (code == key::kBreak)
            continue;
        text += static_cast<char>(code == key::kDelete ? key::kDeleteAsRead : code);
    }
    return text;
}

void KeyboardDevice::opened(std::int16_t)
{
    if (ConsoleRecords* records = current_console())
        if (ConsoleWindow* window = records->main_window())
            window->keys().clear();
}

ScreenDevice::ScreenDevice()
{
    name_ = "SCRN:";
}

void ScreenDevice::write(std::string_view bytes, std::uint16_t site)
{
    ConsoleWriter(main_window(site).screen()).write(bytes);
}

}  // namespace rt::console
