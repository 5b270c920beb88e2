// Feeds arbitrary bytes, item by item through the runtime's field reader, to
// the watch entry rules, then builds every loaded entry's request, static
// text and value texts from a reply cut from the input.
// fuzz-links: monitor_shared qk_files qk_core qk_host
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "monitors/monitor_shared/watch_value.h"
#include "monitors/qk14/board_description.h"
#include "monitors/qkp877w/board_description.h"
#include "tests/monitor_logic/file_reading.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto result = monitor::testing::read_watch_bytes(bytes);
    if (result.error != 0)
        return 0;
    if (result.page.entries.size() > monitor::kWatchEntriesMax)
        std::abort();
    const std::string_view reply = bytes.substr(0, 40);
    for (const auto& entry : result.page.entries) {
        const auto request = monitor::watch_request(entry);
        if (!request || request->empty())
            std::abort();
        // Every place the page prints at is on the screen, labels in the work area.
        const auto value = monitor::value_place(entry);
        if (entry.column < 0 || entry.column > 79 || entry.row < monitor::kWorkAreaFirstRow ||
            entry.row > monitor::kWorkAreaLastRow || value.column > 79)
            std::abort();
        (void)monitor::watch_static_text(entry);
        for (const auto* board : {&qk14::kBoard, &qkp877w::kBoard})
            for (const auto context : {monitor::ValueContext::WatchPage, monitor::ValueContext::ChangeRow})
                (void)monitor::watch_value_output(entry.format, reply, *board, 1, context);
    }
    return 0;
}
