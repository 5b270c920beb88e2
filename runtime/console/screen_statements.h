// Statement operations on a console window's text screen. `window` is a window
// object reference (0 = the main console window). Every check comes before
// any change, so a failing call leaves the screen as it was.
#pragma once

#include <cstdint>
#include <span>

namespace rt {

// Given-flag bits.
inline constexpr std::uint32_t kLocateColumn = 1, kLocateRow = 2, kLocateCursor = 4;
inline constexpr std::uint32_t kColorText = 1, kColorBackground = 2, kColorDrawing = 4, kColorAttribute = 8;
inline constexpr std::uint32_t kRegionTop = 1, kRegionCount = 2;

void LOCATE(std::uint32_t window, std::int32_t column, std::int32_t row, std::int32_t cursor_switch, std::uint32_t given);
// Modes: 0 all (and the graphics layer), 1 region, 2 above, 3 below, 4 all text, 5 graphics layer only.
void CLS(std::uint32_t window, std::int32_t mode);
void COLOR(std::uint32_t window, std::int32_t text, std::int32_t background, std::int32_t drawing, std::int32_t attribute,
           std::uint32_t given);
void CON_VIEW_REGION(std::uint32_t window, std::int32_t top, std::int32_t count, std::uint32_t given);
std::int16_t CURSOR_ROW(std::uint32_t window);

// Cell rectangle copies: one element per cell, row by row; low byte the
// character, high byte colour (bits 0..2, 0..3 when read), reversed (bit 3),
// bright (bit 5), double-byte lead (bit 6).
void CELLS_GET(std::uint32_t window, std::int32_t column1, std::int32_t row1, std::int32_t column2, std::int32_t row2,
               std::span<std::int16_t> cells);
void CELLS_PUT(std::uint32_t window, std::int32_t column1, std::int32_t row1, std::int32_t column2, std::int32_t row2,
               std::span<const std::int16_t> cells);

}  // namespace rt
