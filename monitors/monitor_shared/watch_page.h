// The watch page: the entries of a watch file ("*.DAT"), how the file is
// read, what each entry sends to the target, and the static text it shows.
//
// A watch file holds five comma-separated fields per entry: column, row,
// label, address field and format letter. Fields are read one after another
// regardless of line ends (list input), so a short line takes its missing
// fields from the next one. Address field: four address digits and one
// count digit ("0" = 16 bytes, "1"-"F" = 1-15), or "I" and two port digits.
// The programs read the fields with INPUT (watch_page_drawing.h) and build
// the page with make_watch_entry, add_watch_entry and finish_watch_page.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "screen_place.h"

namespace monitor {

inline constexpr std::size_t kWatchEntriesMax = 51;
// Columns of the static text between the label and the value ("8000.1.H ").
inline constexpr int kWatchStaticWidth = 9;

struct WatchEntry {
    std::string columnText;
    std::string rowText;
    std::string label;
    std::string addressField;
    std::string format;
    std::int16_t column = 0;
    std::int16_t row = 0;
    std::int32_t valueColumn = 0;  // column + labelWidth + 9; the value starts one further right
    std::int16_t valueRow = 0;

    bool is_port() const noexcept { return !addressField.empty() && addressField.front() == 'I'; }
};

struct WatchPage {
    std::vector<WatchEntry> entries;  // file order, at most kWatchEntriesMax
    std::size_t labelWidth = 0;
};

// The five fields of one entry as the input statement read them.
using WatchFields = std::array<std::string, 5>;

// One entry from its fields: column and row are VAL of their text (raises 6
// outside the 16-bit range); a memory entry whose count character is not a
// hexadecimal digit, or an empty address field, raises 5, because it has no
// command code.
WatchEntry make_watch_entry(WatchFields fields);

// Adds an entry in file order and widens `labelWidth` to its label's display
// width (2 per double-byte character, 1 per single byte). A 52nd entry raises 9.
void add_watch_entry(WatchPage& page, WatchEntry entry);

// After the last entry: every value column is column + labelWidth + 9. Raises
// 5 when a label, static text or value would lie off the 80 x 24 screen,
// where printing it would end the program.
void finish_watch_page(WatchPage& page);

// The request of an entry: port entries send the last two characters of the address field
// and code 23; memory entries the first four characters and code 1F for count
// "0", else 10 + count - 1. Address and port characters go out as written.
// Nothing when the count character is not a hexadecimal digit.
std::optional<std::string> watch_request(const WatchEntry& entry);

// The text printed at (column + labelWidth + 1, row) after the label:
// "8000.1.H " for a memory entry, "I12....D " for a port entry.
std::string watch_static_text(const WatchEntry& entry);

// Where an entry's parts go on the screen: the label at its own position,
// the static text one column after the widest label, the value one column
// after the value column.
inline ScreenPlace label_place(const WatchEntry& entry) { return {entry.column, entry.row}; }
inline ScreenPlace static_text_place(const WatchEntry& entry, const WatchPage& page)
{
    return {entry.column + static_cast<int>(page.labelWidth) + 1, entry.row};
}
inline ScreenPlace value_place(const WatchEntry& entry) { return {entry.valueColumn + 1, entry.valueRow}; }

// The base name of a watch file typed at the F10 and F11 prompts: at most
// 8 bytes, never ending inside a double-byte character.
std::string typed_file_base(std::string_view typed);

}  // namespace monitor
