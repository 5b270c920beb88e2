// Feeds arbitrary bytes to the settings file reader of both monitors.
// fuzz-links: qk14_logic
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "monitors/monitor_shared/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    monitor::Settings previous;
    previous.dataBits = 7;
    const auto qk14 = monitor::read_settings(bytes, previous, monitor::MonitorKind::Qk14);
    if (qk14.error == 0) {
        if (qk14.settings.dataBits != 7 && qk14.settings.dataBits != 8)
            std::abort();
        if (qk14.settings.startAddress & 0xFF)
            std::abort();
        if (qk14.dumpBase && (*qk14.dumpBase & 0xFF))
            std::abort();
        (void)monitor::channel_device_string(qk14.settings.channel, qk14.settings.dataBits);
    }
    const auto pic = monitor::read_settings(bytes, {}, monitor::MonitorKind::QkP877W);
    if (pic.settings.dataBits != 0 || pic.dumpBase)
        std::abort();
    return 0;
}
