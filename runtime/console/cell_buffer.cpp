#include "runtime/console/cell_buffer.h"

#include <algorithm>

namespace rt::console {

CellBuffer::CellBuffer(int columns, int rows) : columns_(std::clamp(columns, 1, kMaxColumns)), rows_(static_cast<std::size_t>(std::max(rows, 1)))
{
    clear_rows(0, this->rows(), 7, 4);
}

Cell CellBuffer::cell(int column, int row) const noexcept
{
    const CellRow& r = rows_[static_cast<std::size_t>(row)];
    const auto c = static_cast<std::size_t>(column);
    return Cell{r.characters[c], r.colours[c], r.attributes[c], r.flags[c]};
}

void CellBuffer::set_cell(int column, int row, const Cell& cell) noexcept
{
    CellRow& r = rows_[static_cast<std::size_t>(row)];
    const auto c = static_cast<std::size_t>(column);
    r.characters[c] = cell.character;
    r.colours[c] = cell.colour;
    r.attributes[c] = cell.attribute;
    r.flags[c] = cell.flag;
}

void CellBuffer::clear_rows(int first, int count, std::uint8_t colour, std::uint8_t attribute) noexcept
{
    const int last = std::min(first + count, rows());
    for (int i = std::max(first, 0); i < last; ++i) {
        CellRow& r = rows_[static_cast<std::size_t>(i)];
        r.characters.fill(' ');
        r.colours.fill(colour);
        r.attributes.fill(attribute);
        r.flags.fill(kSingleByte);
    }
}

void CellBuffer::shift_rows_up(int first, int count) noexcept
{
    if (count < 2)
        return;
    auto begin = rows_.begin() + first;
    std::rotate(begin, begin + 1, begin + count);
}

}  // namespace rt::console
