// CELLS_GET and CELLS_PUT: rectangles of cells to and from 16-bit arrays.
#include <algorithm>

#include "runtime/console/console_records.h"
#include "runtime/console/console_sites.h"
#include "runtime/core/error.h"
#include "runtime/console/screen_statements.h"

namespace rt {

using console::Cell;
using console::CellBuffer;
using console::ConsoleScreen;

namespace {

constexpr int kColourBits = 0x07;
constexpr int kStoredColourBits = 0x0F;
constexpr int kReversedBit = 0x08;
constexpr int kBrightBit = 0x20;
constexpr int kLeadBit = 0x40;

struct CellRectangle {
    int left, top, right, bottom;  // inclusive
    int width() const noexcept { return right - left + 1; }
    int height() const noexcept { return bottom - top + 1; }
};

// The checks both copies share; the rectangle with its corners in order.
CellRectangle checked_rectangle(ConsoleScreen& screen, std::int32_t column1, std::int32_t row1, std::int32_t column2,
                                std::int32_t row2, std::size_t elements)
{
    const console::TextScreenState& s = screen.state();
    if (s.graphics_text != 0)
        RAISE_ERROR(err::kBadWindowState, console::site::kCellsGraphicsText);
    auto column_ok = [&](std::int32_t c) { return c >= 0 && c <= s.columns - 1; };
    auto row_ok = [&](std::int32_t r) { return r >= 0 && r <= s.rows - 1; };
    if (!column_ok(column1) || !column_ok(column2) || !row_ok(row1) || !row_ok(row2))
        RAISE_ERROR(err::kIllegalArgument, console::site::kCellsCorner);
    const CellRectangle r{std::min(column1, column2), std::min(row1, row2), std::max(column1, column2), std::max(row1, row2)};
    if (elements < static_cast<std::size_t>(r.width()) * static_cast<std::size_t>(r.height()))
        RAISE_ERROR(err::kIllegalArgument, console::site::kCellsArray);
    return r;
}

std::int16_t cell_word(const Cell& cell) noexcept
{
    int high = cell.colour & kStoredColourBits;
    const int attribute = cell.attribute & 0x7FFF;
    if (attribute == 1 || attribute == 5)
        high |= kReversedBit;
    if (attribute == 4 || attribute == 5)
        high |= kBrightBit;
    if (cell.flag == console::kLeadByte)
        high |= kLeadBit;
    return static_cast<std::int16_t>((high << 8) | cell.character);
}

Cell cell_of_word(std::int16_t word) noexcept
{
    const int high = (static_cast<std::uint16_t>(word) >> 8) & 0xFF;
    Cell cell;
    cell.character = static_cast<std::uint8_t>(word & 0xFF);
    cell.colour = static_cast<std::uint8_t>(high & kColourBits);
    cell.attribute = static_cast<std::uint8_t>(((high & kBrightBit) ? 4 : 0) + ((high & kReversedBit) ? 1 : 0));
    cell.flag = console::kSingleByte;
    return cell;
}

// Turns the half of a double-byte character at `column` that lies outside the
// rectangle into a space, keeping its colours.
void blank_cut_half(CellBuffer& cells, int column, int row, std::uint8_t cut_flag)
{
    if (column < 0 || column >= cells.columns())
        return;
    Cell cell = cells.cell(column, row);
    if (cell.flag != cut_flag)
        return;
    cell.character = ' ';
    cell.flag = console::kSingleByte;
    cells.set_cell(column, row, cell);
}

}  // namespace

void CELLS_GET(std::uint32_t window, std::int32_t column1, std::int32_t row1, std::int32_t column2, std::int32_t row2,
               std::span<std::int16_t> cells)
{
    ConsoleScreen& screen = console::resolve_window(window, console::site::kCellsWindow).screen();
    const CellRectangle r = checked_rectangle(screen, column1, row1, column2, row2, cells.size());
    std::size_t i = 0;
    for (int row = r.top; row <= r.bottom; ++row)
        for (int column = r.left; column <= r.right; ++column)
            cells[i++] = cell_word(screen.cells().cell(column, row));
}

void CELLS_PUT(std::uint32_t window, std::int32_t column1, std::int32_t row1, std::int32_t column2, std::int32_t row2,
               std::span<const std::int16_t> cells)
{
    ConsoleScreen& screen = console::resolve_window(window, console::site::kCellsWindow).screen();
    const CellRectangle r = checked_rectangle(screen, column1, row1, column2, row2, cells.size());
    CellBuffer& buffer = screen.cells();
    ConsoleScreen::PaintScope paint(screen);
    std::size_t i = 0;
    for (int row = r.top; row <= r.bottom; ++row) {
        // A double-byte character whose trail lies inside loses its lead on the left.
        if (buffer.cell(r.left, row).flag == console::kTrailByte)
            blank_cut_half(buffer, r.left - 1, row, console::kLeadByte);
        for (int column = r.left; column <= r.right;) {
            const std::int16_t word = cells[i];
            Cell cell = cell_of_word(word);
            const bool lead = (static_cast<std::uint16_t>(word) >> 8) & kLeadBit;
            if (lead && column < r.right) {
                cell.flag = console::kLeadByte;
                buffer.set_cell(column, row, cell);
                Cell trail = cell;
                trail.character = static_cast<std::uint8_t>(cells[i + 1] & 0xFF);
                trail.flag = console::kTrailByte;
                buffer.set_cell(column + 1, row, trail);
                column += 2;
                i += 2;
                continue;
            }
            if (lead)
                cell.character = ' ';
            buffer.set_cell(column, row, cell);
            ++column;
            ++i;
        }
        // A character whose lead lies inside loses its trail on the right.
        blank_cut_half(buffer, r.right + 1, row, console::kTrailByte);
        screen.draw_cells(row, r.left - 1, r.width() + 2);
    }
}

}  // namespace rt
