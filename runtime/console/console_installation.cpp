#include "runtime/console/console_installation.h"

#include <memory>

#include "runtime/console/console_devices.h"
#include "runtime/console/console_records.h"
#include "host/desktop.h"
#include "runtime/core/frame.h"
#include "runtime/files/device_table.h"
#include "runtime/files/open_specification.h"

namespace rt::console {

ConsoleRecords& install_console(Runtime& runtime)
{
    host::Desktop& desktop = runtime.desktop();
    KeyReactions reactions{[](int event) { RAISE_EVENT(event); }, [&desktop] { desktop.bell(); }};
    auto window = std::make_unique<ConsoleWindow>(desktop, runtime.base_name(), std::move(reactions));
    const host::WindowId id = window->id();
    ConsoleRecords& records = runtime.install(std::make_unique<ConsoleRecords>(std::move(window)));
    runtime.set_main_window(id);
    runtime.set_print_channel(&records.print_channel);
    runtime.set_report_target(&records.report);
    if (DeviceTable* table = runtime.find_extension<DeviceTable>()) {
        table->register_fixed_device(kKeyboardSlot, std::make_unique<KeyboardDevice>());
        table->register_fixed_device(kScreenSlot, std::make_unique<ScreenDevice>());
    }
    return records;
}

}  // namespace rt::console
