// The watch page on the console: the trapped load of a watch file through
// file number 2 (OPEN, EOF, INPUT of five text items per entry), the labels
// and static texts of its entries, and one value shown by its format.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "protocol.h"
#include "watch_page.h"
#include "watch_value_output.h"

namespace monitor {

inline constexpr std::int32_t kWatchFile = 2;

// Loads `fileName`. Any runtime error on the way (missing file, a file
// ending inside an entry, a position outside 16 bits or off the screen, a
// bad count, a 52nd entry) is trapped: file 2 is closed and nothing is
// returned. On success row 3 is cleared from column 1 and the value
// positions are set; nothing is drawn.
std::optional<WatchPage> load_watch_page(const std::string& fileName);

// Labels and static texts of every entry.
void draw_watch_entries(const WatchPage& page);

// Shows a reply by the entry's format where the cursor stands (the watch
// page has located to the value place); nothing for other formats.
void show_watch_value(const WatchEntry& entry, std::string_view reply, MonitorKind monitor,
                      std::int16_t byteOrderSetting, ValueContext context);

}  // namespace monitor
