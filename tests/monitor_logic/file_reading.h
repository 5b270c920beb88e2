// Settings and watch files read from bytes the way the programs read them
// through OPEN and INPUT: one text item per settings record, five per watch
// entry, each put through the monitors' own record and entry rules. A
// runtime error that the program would raise is returned as its number.
#pragma once

#include <cstdint>
#include <string_view>

#include "monitors/monitor_shared/board_description.h"
#include "monitors/monitor_shared/settings_file.h"
#include "monitors/monitor_shared/text_item_reader.h"
#include "monitors/monitor_shared/watch_page.h"
#include "runtime/core/error.h"

namespace monitor::testing {

struct SettingsRead {
    Settings settings;
    bool start_address_read = false;
    std::uint16_t error = 0;
};

inline SettingsRead read_settings_bytes(std::string_view bytes, const Settings& previous, const BoardDescription& board)
{
    SettingsRead result;
    result.settings = previous;
    TextItemReader reader(bytes);
    try {
        while (!reader.at_end()) {
            TextItem item = reader.read_text();
            if (item.error != 0) {
                result.error = item.error;
                return result;
            }
            if (apply_settings_record(item.text, result.settings, board))
                result.start_address_read = true;
        }
    } catch (const rt::RuntimeError& e) {
        result.error = e.number();
    }
    return result;
}

struct WatchRead {
    WatchPage page;
    std::uint16_t error = 0;
    std::size_t failed_entry = 0;  // entries taken before the error
};

inline WatchRead read_watch_bytes(std::string_view bytes)
{
    WatchRead result;
    TextItemReader reader(bytes);
    try {
        while (!reader.at_end()) {
            WatchFields fields;
            for (std::string& field : fields) {
                TextItem item = reader.read_text();
                if (item.error != 0) {
                    result.error = item.error;
                    result.failed_entry = result.page.entries.size();
                    return result;
                }
                field = std::move(item.text);
            }
            add_watch_entry(result.page, make_watch_entry(std::move(fields)));
        }
        finish_watch_page(result.page);
    } catch (const rt::RuntimeError& e) {
        result.error = e.number();
        result.failed_entry = result.page.entries.size();
    }
    return result;
}

}  // namespace monitor::testing
