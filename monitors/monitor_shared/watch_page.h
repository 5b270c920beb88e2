// The watch page: the entries of a watch file ("*.DAT"), how the file is
// read, what each entry sends to the target, and the static text it shows.
//
// A watch file holds five comma-separated fields per entry: column, row,
// label, address field and format letter. Fields are read one after another
// regardless of line ends (list input), so a short line takes its missing
// fields from the next one. Address field: four address digits and one
// count digit ("0" = 16 bytes, "1"-"F" = 1-15), or "I" and two port digits.
// The programs read the fields with INPUT (load_watch_page below) and build
// the page with make_watch_entry, add_watch_entry and finish_watch_page.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "monitors/monitor_shared/board_description.h"
#include "monitors/monitor_shared/screen_place.h"
#include "monitors/monitor_shared/watch_value.h"


namespace monitor {

inline constexpr std::size_t kWatchEntriesMax = 51;
// Columns of the static text between the label and the value ("8000.1.H ").
inline constexpr int kWatchStaticWidth = 9;

struct WatchEntry {
    std::string column_text;
    std::string row_text;
    std::string label;
    std::string address_field;
    std::string format;
    std::int16_t column = 0;
    std::int16_t row = 0;
    std::int32_t value_column = 0;  // column + label_width + 9; the value starts one further right
    std::int16_t value_row = 0;

    bool is_port() const noexcept { return !address_field.empty() && address_field.front() == 'I'; }
};

struct WatchPage {
    std::vector<WatchEntry> entries;  // file order, at most kWatchEntriesMax
    std::size_t label_width = 0;
};

// The five fields of one entry as the input statement read them.
using WatchFields = std::array<std::string, 5>;

// The work area, where watch entries are placed (absolute console rows).
inline constexpr int kWorkAreaFirstRow = 2;
inline constexpr int kWorkAreaLastRow = 18;
// The longest address fields: four address digits and a count digit, or "I"
// and two port digits.
inline constexpr std::size_t kMemoryAddressFieldMax = 5;
inline constexpr std::size_t kPortAddressFieldMax = 3;

// Why an entry was refused, as its site code tells (the low byte numbers the
// check): a position that is no 16-bit number (error 6), no count digit (5),
// a 52nd entry (9), a row outside the work area or a column off the screen
// (5), an address field longer than any address (5).
namespace watch_site {
inline constexpr std::uint16_t kPosition = 0x0301;
inline constexpr std::uint16_t kBadCount = 0x0302;
inline constexpr std::uint16_t kTooManyEntries = 0x0303;
inline constexpr std::uint16_t kOffWorkArea = 0x0304;
inline constexpr std::uint16_t kOffScreen = 0x0305;
inline constexpr std::uint16_t kAddressTooLong = 0x0306;
}  // namespace watch_site

// One entry from its fields: column and row are VAL of their text (raises 6
// outside the 16-bit range); a memory entry whose count character is not a
// hexadecimal digit, or an empty address field, raises 5, because it has no
// command code; so does an address field longer than an address.
WatchEntry make_watch_entry(WatchFields fields);

// Adds an entry in file order and widens `label_width` to its label's display
// width (2 per double-byte character, 1 per single byte). A 52nd entry raises
// 9; a label that cannot be placed at all (a row outside the work area, a
// column off the screen) raises 5: it would be drawn over the frame or end
// the program.
void add_watch_entry(WatchPage& page, WatchEntry entry);

// After the last entry: every value column is column + label_width + 9. What
// lies past the last column (the end of a label, the static text, the value)
// is cut there when it is drawn, like any other field.
void finish_watch_page(WatchPage& page);

// The request of an entry: port entries send the last two characters of the address field
// and code 23; memory entries the first four characters and code 1F for count
// "0", else 10 + count - 1. Address and port characters go out as written.
// Nothing when the count character is not a hexadecimal digit.
std::optional<std::string> watch_request(const WatchEntry& entry);

// The text printed at (column + label_width + 1, row) after the label:
// "8000.1.H " for a memory entry, "I12....D " for a port entry.
std::string watch_static_text(const WatchEntry& entry);

// Where an entry's parts go on the screen: the label at its own position,
// the static text one column after the widest label, the value one column
// after the value column.
inline ScreenPlace label_place(const WatchEntry& entry) { return {entry.column, entry.row}; }
inline ScreenPlace static_text_place(const WatchEntry& entry, const WatchPage& page)
{
    return {entry.column + static_cast<int>(page.label_width) + 1, entry.row};
}
// A value that would start past the last column is not shown; its place is
// then the last column, so that locating there stays on the screen.
inline bool value_on_screen(const WatchEntry& entry) { return entry.value_column + 1 < kScreenColumns; }
inline ScreenPlace value_place(const WatchEntry& entry)
{
    return {value_on_screen(entry) ? entry.value_column + 1 : kScreenColumns - 1, entry.value_row};
}

// The base name of a watch file typed at the F10 and F11 prompts: at most
// 8 bytes, never ending inside a double-byte character.
std::string typed_file_base(std::string_view typed);


// The watch page on the console: the trapped load of a watch file through
// file number 2 (OPEN, EOF, INPUT of five text items per entry), the labels
// and static texts of its entries, and one value shown by its format.
inline constexpr std::int32_t kWatchFile = 2;

// The outcome of loading a watch file: the page, or why there is none.
struct WatchFileLoad {
    std::optional<WatchPage> page;
    // Without a page: the file and why, in the user's language (Shift-JIS):
    // "NAME.DAT: not found", "NAME.DAT line 4: row 19 is outside the work area (rows 2-18)".
    std::string problem;
};

// Loads `file_name`, read as Shift-JIS or UTF-8 (read_utf8_as_shift_jis).
// Any runtime error on the way (missing file or not a regular file, a file
// ending inside an entry, a position outside 16 bits, an entry that cannot
// be placed, a bad count, a 52nd entry) is trapped: file 2 is closed and the
// problem returned. On success row 3 is cleared from column 1 and the value
// positions are set; nothing is drawn.
WatchFileLoad load_watch_page(const std::string& file_name);

// Labels and static texts of every entry.
void draw_watch_entries(const WatchPage& page);

// Shows a reply by the entry's format where the cursor stands (the watch
// page has located to the value place); nothing for other formats.
void show_watch_value(const WatchEntry& entry, std::string_view reply, const BoardDescription& board,
                      std::int16_t byte_order_setting, ValueContext context);

}  // namespace monitor
