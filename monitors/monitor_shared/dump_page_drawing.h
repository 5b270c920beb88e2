// The dump page on the console, the same for both monitors but for the
// command help block: header, 16 address rows with dash placeholders, the
// two separator lines, the legend and the help block; and the reading of one
// row from the target into its place.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

#include "screen_place.h"

namespace monitor {

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

// Draws the page from `dumpBase` (the caller has set the modes and resets the
// row cycle); `drawLegend` draws the legend between the lines and the help block.
void draw_dump_page(std::uint16_t dumpBase, std::span<const PlacedText> helpBlock,
                    const std::function<void()>& drawLegend);

// Requests the row at `dumpRowOffset` and, when the reply comes, prints it in
// its row. Returns false on a time-out (the row stays as it was).
bool read_dump_row(std::uint16_t dumpBase, std::uint16_t dumpRowOffset);

}  // namespace monitor
