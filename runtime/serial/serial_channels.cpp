#include "runtime/serial/serial_channels.h"

#include <set>

#include "host/code_page.h"
#include "host/desktop.h"
#include "host/serial_port_list.h"
#include "host/settings_store.h"
#include "runtime/core/error.h"
#include "runtime/core/error_state.h"
#include "runtime/core/frame.h"
#include "runtime/core/frame_records.h"
#include "runtime/files/device_table.h"
#include "runtime/serial/serial_device.h"

namespace rt {

SerialChannels& SerialChannels::current()
{
    return Runtime::current().extension<SerialChannels>();
}

namespace {

// The message pump step between transfer attempts. No statement prologue runs
// while a transfer waits, so a Ctrl+C that the console marked as the user
// break is taken here.
void serial_pump_step()
{
    pump_messages();
    if (Runtime::current().frame().events.take_break())
        run_break_routine();
}

// Titles the main window "<program> - <path> - disconnected" while a line is
// gone, and with the program's name alone once every line is back.
class LineStateTitle {
public:
    void operator()(int channel, const std::string& path, bool present)
    {
        const bool changed = present ? lost_.erase(channel) > 0 : lost_.insert(channel).second;
        if (!changed)
            return;
        Runtime& runtime = Runtime::current();
        std::string title = runtime.base_name();
        if (!present)
            title += " - " + host::utf8_to_sjis(path) + " - disconnected";
        else if (!lost_.empty())
            return;  // another line is still gone and named in the title
        host::Desktop& desktop = runtime.desktop();
        desktop.set_title(desktop.main_window(), title);
    }

private:
    std::set<int> lost_;
};

}  // namespace

host::SerialPortMap user_serial_port_map(const std::vector<host::PortOption>& port_options)
{
    host::SerialPortMap map([](std::string_view key) {
        return host::SettingsStore::for_user().get_string(host::settings::kPortsSection, key);
    });
    for (const host::PortOption& option : port_options) {
        if (option.number)
            map.assign(*option.number, option.path);
        else
            map.assign_unnumbered(option.path);
    }
    return map;
}

host::LinkOptions serial_link_options(const host::ProgramArguments& command_line)
{
    return {command_line.reconnect, command_line.trace.value_or(std::string())};
}

std::string serial_port_list_text()
{
    return host::format_serial_port_list(host::list_serial_ports());
}

void install_serial_devices(Runtime& runtime)
{
    install_serial_devices(runtime, user_serial_port_map());
}

void install_serial_devices(Runtime& runtime, host::SerialPortMap ports, const host::LinkOptions& link)
{
    auto config = std::make_shared<SerialConfig>(runtime.options());
    config->ports = std::move(ports);
    config->reconnect = link.reconnect;
    if (!link.trace_path.empty())
        config->trace = std::make_unique<host::SerialTrace>(link.trace_path);
    config->pump_step = serial_pump_step;
    config->raise_event = [](int event) { RAISE_EVENT(event); };
    config->event_armed = [](int event) {
        Runtime* runtime = Runtime::current_or_null();
        return runtime && (runtime->frame().events.flags(event) & EventTable::kArmed) != 0;
    };
    config->line_changed = LineStateTitle{};

    DeviceTable& table = runtime.extension<DeviceTable>();
    for (int n = 0; n < kSerialChannelCount; ++n)
        table.register_fixed_device(kFirstSerialSlot + n, std::make_unique<SerialDevice>(n, config));
    runtime.frame().events.set_arm_listener([config](int event) {
        const int channel = event - kFirstArrivalEvent;
        if (channel >= 0 && channel < kSerialChannelCount && config->devices[channel])
            config->devices[channel]->arrival_event_armed();
    });
    table.set_serial_opener([&table](int slot, int mode, std::string_view options, int /*file_number*/) {
        auto* device = dynamic_cast<SerialDevice*>(table.device_at(slot));
        if (!device)
            return err::kDeviceNotFound;
        const SerialOpenResult result = device->open(mode, options);
        if (result.error != 0 && !result.path.empty())
            RAISE_FILE_ERROR(result.error, result.site,
                             ErrorCause{result.path, result.system_error, false, ErrorCause::Object::SerialPort});
        if (result.error != 0 && result.site != file_site::kOpenDevice)
            RAISE_ERROR(result.error, result.site);
        return result.error;
    });
    runtime.install(std::make_unique<SerialChannels>(std::move(config)));
}

void COM_SET_PARAM(std::uint16_t channel, std::uint32_t speed)
{
    if (channel >= kSerialChannelCount)
        RAISE_ERROR(err::kIllegalArgument, serial_site::kSetParamChannel);
    if (speed == 0)
        RAISE_ERROR(err::kIllegalArgument, serial_site::kSetParamZeroSpeed);
    SerialConfig& config = SerialChannels::current().config();
    config.speed_code[channel] = kSpeedCodeFromTable;
    if (SerialDevice* device = config.devices[channel]; device && device->is_open() && !device->set_speed(speed))
        RAISE_ERROR(err::kIllegalArgument, serial_site::kSetParamSpeed);
    config.speed_table[channel] = speed;
}

}  // namespace rt
