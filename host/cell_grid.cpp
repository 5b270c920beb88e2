#include "host/cell_grid.h"

#include <algorithm>
#include <array>
#include <utility>

#include "host/code_page.h"

namespace host {

CellGrid::CellGrid(int columns, int rows, int cell_width, int cell_height)
    : columns_(std::max(columns, 0)), rows_(std::max(rows, 0)), cell_width_(std::max(cell_width, 1)),
      cell_height_(std::max(cell_height, 1)), cells_(std::size_t(columns_) * rows_), dirty_(std::size_t(rows_), true)
{
}

void CellGrid::resize(int columns, int rows)
{
    columns = std::max(columns, 0);
    rows = std::max(rows, 0);
    std::vector<Cell> cells(std::size_t(columns) * rows);
    for (int r = 0; r < std::min(rows, rows_); ++r) {
        for (int c = 0; c < std::min(columns, columns_); ++c)
            cells[std::size_t(r) * columns + c] = at(c, r);
    }
    cells_ = std::move(cells);
    columns_ = columns;
    rows_ = rows;
    dirty_.assign(std::size_t(rows_), true);
}

Rect CellGrid::cells_in(const Rect& pixels) const noexcept
{
    // A cell belongs to the area when its centre does.
    auto first = [](int edge, int size) { return edge <= 0 ? 0 : (edge - size / 2 + size - 1) / size; };
    Rect cells{first(pixels.left, cell_width_), first(pixels.top, cell_height_),
               first(pixels.right, cell_width_), first(pixels.bottom, cell_height_)};
    cells.right = std::min(cells.right, columns_);
    cells.bottom = std::min(cells.bottom, rows_);
    return cells.empty() ? Rect{} : cells;
}

void CellGrid::mark_dirty(const Rect& cells)
{
    for (int r = cells.top; r < cells.bottom; ++r)
        dirty_[std::size_t(r)] = true;
}

Rect CellGrid::clear(const Rect& pixels, std::uint32_t background)
{
    const Rect cells = cells_in(pixels);
    for (int r = cells.top; r < cells.bottom; ++r) {
        for (int c = cells.left; c < cells.right; ++c) {
            Cell& cell = at(c, r);
            cell = Cell{};
            cell.background = background;
        }
    }
    mark_dirty(cells);
    return cells;
}

Rect CellGrid::restore_from_layer(const Surface& layer, const Rect& pixels, int view_x, int view_y)
{
    const Rect cells = cells_in(pixels);
    for (int r = cells.top; r < cells.bottom; ++r) {
        for (int c = cells.left; c < cells.right; ++c) {
            const Rect box{c * cell_width_ + view_x, r * cell_height_ + view_y, (c + 1) * cell_width_ + view_x,
                           (r + 1) * cell_height_ + view_y};
            const CellLine shape = classify_cell_pixels(layer, box);
            Cell& cell = at(c, r);
            cell = Cell{};
            cell.background = shape.background;
            cell.line = shape.exits;
            cell.line_colour = shape.line_colour;
        }
    }
    mark_dirty(cells);
    return cells;
}

Rect CellGrid::put_text(const TextRun& run)
{
    if (rows_ == 0 || columns_ == 0)
        return {};
    const int row = run.y >= 0 ? run.y / cell_height_ : -1;
    if (row < 0 || row >= rows_)
        return {};
    // Runs that start left of the visible part (a scrolled view) lose their hidden cells.
    int column = run.x >= 0 ? run.x / cell_width_ : -((-run.x + cell_width_ - 1) / cell_width_);
    const int first = std::max(column, 0);
    std::string_view text = run.text;
    while (!text.empty() && column < columns_) {
        const auto byte = static_cast<std::uint8_t>(text[0]);
        const bool pair = is_lead_byte(byte) && text.size() >= 2;
        const int span = pair ? 2 : 1;
        for (int i = 0; i < span; ++i) {
            const int c = column + i;
            if (c < 0 || c >= columns_)
                continue;
            Cell& cell = at(c, row);
            const std::uint32_t under = cell.background;
            cell.byte = static_cast<std::uint8_t>(text[std::size_t(i)]);
            cell.part = pair ? (i == 0 ? CellPart::Lead : CellPart::Trail) : CellPart::Single;
            cell.foreground = run.foreground;
            cell.reversed = run.paint_background;
            cell.background = run.paint_background ? run.background : under;
        }
        // A double-byte character cut by an edge keeps no half.
        if (pair && (column < 0 || column + 1 >= columns_)) {
            for (int i = 0; i < 2; ++i) {
                const int c = column + i;
                if (c >= 0 && c < columns_)
                    at(c, row).byte = ' ', at(c, row).part = CellPart::Single;
            }
        }
        column += span;
        text.remove_prefix(std::size_t(span));
    }
    const Rect cells{first, row, std::min(column, columns_), row + 1};
    mark_dirty(cells);
    return cells;
}

std::string CellGrid::row_text(int row) const
{
    std::string text;
    text.reserve(std::size_t(columns_));
    for (int c = 0; c < columns_; ++c)
        text += static_cast<char>(at(c, row).byte);
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

std::vector<std::string> CellGrid::rows_text() const
{
    std::vector<std::string> rows;
    rows.reserve(std::size_t(rows_));
    for (int r = 0; r < rows_; ++r)
        rows.push_back(row_text(r));
    return rows;
}

std::vector<bool> CellGrid::take_dirty_rows()
{
    std::vector<bool> dirty(std::size_t(rows_), false);
    std::swap(dirty, dirty_);
    return dirty;
}

CellLine classify_cell_pixels(const Surface& layer, const Rect& box) noexcept
{
    const int w = box.width(), h = box.height();
    auto colour = [&](int x, int y) -> std::uint32_t {
        const int lx = box.left + x, ly = box.top + y;
        return layer.contains(lx, ly) ? layer.pixel(lx, ly) : 0;
    };
    // The most frequent colour is the background; the next the line.
    std::array<std::pair<std::uint32_t, int>, 8> counts{};
    std::size_t used = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::uint32_t c = colour(x, y);
            std::size_t i = 0;
            while (i < used && counts[i].first != c)
                ++i;
            if (i == used && used < counts.size())
                counts[used++] = {c, 0};
            if (i < used)
                ++counts[i].second;
        }
    }
    CellLine result;
    if (used == 0)
        return result;
    std::size_t most = 0;
    for (std::size_t i = 1; i < used; ++i)
        most = counts[i].second > counts[most].second ? i : most;
    result.background = counts[most].first;
    if (used == 1)
        return result;
    std::size_t next = most == 0 ? 1 : 0;
    for (std::size_t i = 0; i < used; ++i)
        next = i != most && counts[i].second > counts[next].second ? i : next;
    result.line_colour = counts[next].first;
    auto on = [&](int x, int y) { return colour(x, y) != result.background; };
    int marked = 0;
    for (int y = 0; y < h; ++y) {
        if (on(0, y) && on(1, y))
            result.exits |= line_exit::kLeft;
        if (on(w - 1, y) && on(w - 2, y))
            result.exits |= line_exit::kRight;
        for (int x = 0; x < w; ++x)
            marked += on(x, y);
    }
    for (int x = 0; x < w; ++x) {
        if (on(x, 0) && on(x, 1))
            result.exits |= line_exit::kUp;
        if (on(x, h - 1) && on(x, h - 2))
            result.exits |= line_exit::kDown;
    }
    // A single pixel (the very end of a line in the next cell) shows nothing.
    if (result.exits == 0 && marked >= 2)
        result.exits = line_exit::kDot;
    return result;
}

char32_t box_drawing_character(std::uint8_t exits) noexcept
{
    using namespace line_exit;
    const bool horizontal = exits & (kLeft | kRight);
    const bool vertical = exits & (kUp | kDown);
    switch (exits & (kLeft | kRight | kUp | kDown)) {
    case kRight | kDown: return U'\u250C';
    case kLeft | kDown: return U'\u2510';
    case kRight | kUp: return U'\u2514';
    case kLeft | kUp: return U'\u2518';
    case kUp | kDown | kRight: return U'\u251C';
    case kUp | kDown | kLeft: return U'\u2524';
    case kLeft | kRight | kDown: return U'\u252C';
    case kLeft | kRight | kUp: return U'\u2534';
    case kLeft | kRight | kUp | kDown: return U'\u253C';
    default: break;
    }
    if (horizontal)
        return U'\u2500';
    if (vertical)
        return U'\u2502';
    return exits & kDot ? U'.' : 0;
}

}  // namespace host
