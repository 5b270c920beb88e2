// Feeds arbitrary bytes, item by item through the runtime's field reader, to
// the settings record rule of both monitors.
// fuzz-links: monitor_shared qk_files qk_core qk_host
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "monitors/qk14/board_description.h"
#include "monitors/qkp877w/board_description.h"
#include "tests/monitor_logic/file_reading.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    monitor::Settings previous;
    previous.data_bits = 7;
    const auto qk14 = monitor::testing::read_settings_bytes(bytes, previous, qk14::kBoard);
    if (qk14.error == 0) {
        if (qk14.settings.data_bits != 7 && qk14.settings.data_bits != 8)
            std::abort();
        if (qk14.settings.start_address & 0xFF)
            std::abort();
        (void)monitor::channel_device_string(qk14.settings.channel, qk14.settings.data_bits);
    }
    const auto pic = monitor::testing::read_settings_bytes(bytes, {}, qkp877w::kBoard);
    if (pic.settings.data_bits != 0 || pic.start_address_read || pic.settings.byte_order != 0)
        std::abort();
    return 0;
}
