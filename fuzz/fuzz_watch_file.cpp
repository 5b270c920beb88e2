// Feeds arbitrary bytes to the watch file loader, then builds every loaded
// entry's request, static text and value texts from a reply cut from the input.
// fuzz-links: qk14_logic
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "monitors/monitor_shared/watch_page.h"
#include "monitors/monitor_shared/watch_value.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto result = monitor::load_watch_file(bytes);
    if (!result.loaded())
        return 0;
    if (result.page.entries.size() > monitor::kWatchEntriesMax)
        std::abort();
    const std::string_view reply = bytes.substr(0, 40);
    for (const auto& entry : result.page.entries) {
        const auto request = monitor::watch_request(entry);
        if (!request || request->empty())
            std::abort();
        (void)monitor::watch_static_text(entry);
        for (const char* format : {"H", "B", "D", "Q", "W"}) {
            (void)monitor::watch_value_text(format, reply, {monitor::ByteOrder::Little, 5});
            (void)monitor::watch_value_text(format, reply, monitor::kQkP877WValueStyle);
        }
        (void)monitor::watch_value_text(entry.format, reply, {monitor::ByteOrder::Big, 5});
    }
    return 0;
}
