// The dump page's addressing: page moves, the row cycle, the request of a
// row and the text a row reply leaves on screen.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "monitors/monitor_shared/board_description.h"
#include "monitors/monitor_shared/protocol.h"
#include "monitors/monitor_shared/screen_place.h"
#include "monitors/monitor_shared/target_link.h"


namespace monitor {

inline constexpr int kDumpRows = 16;
inline constexpr int kDumpRowBytes = 16;
inline constexpr std::int32_t kDumpRowStep = 256;     // arrow keys
inline constexpr std::int32_t kDumpPageStep = 4096;   // Page Up / Page Down

// The page start after moving by `delta` bytes. Qk14 wraps within 64 KB on
// multiples of 256 (FF00 + 256 is 0000); QkP877W toggles between 000 and 100.
std::uint16_t moved_dump_base(std::uint16_t dump_base, std::int32_t delta, const BoardDescription& board);

// The next row to read after `dump_row_offset`: 0, 16, ..., 240, then 0 again.
std::uint16_t next_dump_row_offset(std::uint16_t dump_row_offset);

// Four upper-case hexadecimal digits with leading zeros.
std::string address_text(std::uint32_t address);

// The request for one row: its address as four digits, then code 1F.
std::string dump_row_request(std::uint16_t dump_base, std::uint16_t dump_row_offset);

// What a row reply prints from column 6 of its row: each of the 16 digit pairs
// followed by a blank; a missing pair prints only its blank, and characters
// past the 32nd are not shown.
std::string dump_row_text(std::string_view reply);

// The console row of the row at `dump_row_offset`.
inline constexpr int dump_row_screen_row(std::uint16_t dump_row_offset) { return 3 + dump_row_offset / 16; }


// The dump page on the console, the same for both monitors but for the
// command help block: header, 16 address rows with dash placeholders, the
// two separator lines, the legend and the help block; and the reading of one
// row from the target into its place.
inline constexpr ScreenPlace kDumpHeader{1, 2};
inline constexpr std::string_view kDumpHeaderText = "ADRS +0 +1 +2 +3 +4 +5 +6 +7 +8 +9 +A +B +C +D +E +F";
inline constexpr int kDumpHeaderColour = 6;
inline constexpr int kDumpFirstRow = 3;
inline constexpr int kDumpAddressColumn = 1;
inline constexpr int kDumpAddressColour = 5;
inline constexpr int kDumpBytesColumn = 6;
inline constexpr std::string_view kDumpPlaceholder = " -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- --";
inline constexpr int kDumpLineTextColour = 15;
inline constexpr int kDumpLineDrawColour = 12;
inline constexpr int kNormalColour = 7;

struct PixelLine {
    int x1, y1, x2, y2;
};
// Between bytes +7 and +8, and between the rows of offsets 70 and 80.
inline constexpr std::array<PixelLine, 2> kDumpLines{PixelLine{48, 197, 424, 197}, PixelLine{236, 56, 236, 340}};

// Draws the page from `dump_base` (the caller has set the modes and resets the
// row cycle); `draw_legend_cells` draws the legend between the lines and the help block.
void draw_dump_page(std::uint16_t dump_base, std::span<const PlacedText> help_block,
                    const std::function<void()>& draw_legend_cells);

// Requests the row at `dump_row_offset` and, when the reply comes, prints it in
// its row. Returns false on a time-out (the row stays as it was).
bool read_dump_row(TargetLink& link, std::uint16_t dump_base, std::uint16_t dump_row_offset);

}  // namespace monitor
