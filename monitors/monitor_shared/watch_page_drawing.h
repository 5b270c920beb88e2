// The watch page on the console: the trapped load of a watch file through
// file number 2 (OPEN, EOF, INPUT of five text items per entry), the labels
// and static texts of its entries, and one value shown by its format.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "display_mode.h"
#include "protocol.h"
#include "runtime/core/frame.h"
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

// The load step of every watch entry routine, on either monitor's state:
// loads the state's watch file into its page and draws the entries (not in
// mode 11, which shows only changes). On failure the file name is forgotten
// and replyFailed set. Returns whether the page loaded.
template <class MonitorStateT>
bool load_watch_file_into(MonitorStateT& s)
{
    std::optional<WatchPage> page = load_watch_page(s.watchFileName);
    if (!page) {
        rt::stmt(__LINE__, [&] {
            s.watchFileName.clear();
            s.replyFailed = true;
        });
        return false;
    }
    s.watchPage = std::move(*page);
    if (s.currentMode != DisplayMode::Log)
        draw_watch_entries(s.watchPage);
    rt::stmt(__LINE__, [&] { s.replyFailed = false; });
    return true;
}

// Shows a reply by the entry's format where the cursor stands (the watch
// page has located to the value place); nothing for other formats.
void show_watch_value(const WatchEntry& entry, std::string_view reply, MonitorKind monitor,
                      std::int16_t byteOrderSetting, ValueContext context);

}  // namespace monitor
