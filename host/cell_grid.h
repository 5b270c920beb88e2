// The character cells of a console window as the paint calls left them: the
// text of the last run drawn over each cell, its colours, and what the
// graphics layer shows there. The headless front end reports the screen as
// text rows from it; the terminal front end draws the cells from it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/front_end.h"
#include "host/surface.h"

namespace host {

enum class CellPart : std::uint8_t { Single, Lead, Trail };

// Directions a line in the graphics layer leaves a cell by.
namespace line_exit {
inline constexpr std::uint8_t kLeft = 1, kRight = 2, kUp = 4, kDown = 8;
inline constexpr std::uint8_t kDot = 16;  // pixels that reach no edge
}  // namespace line_exit

struct Cell {
    std::uint8_t byte = ' ';
    CellPart part = CellPart::Single;
    std::uint32_t foreground = 0xC0C0C0;
    std::uint32_t background = 0;   // painted background, or the layer's colour under the text
    bool reversed = false;          // the run painted its background
    std::uint8_t line = 0;          // line_exit bits of layer pixels in the cell
    std::uint32_t line_colour = 0;
};

class CellGrid {
public:
    CellGrid(int columns, int rows, int cell_width, int cell_height);

    int columns() const noexcept { return columns_; }
    int rows() const noexcept { return rows_; }
    int cell_width() const noexcept { return cell_width_; }
    int cell_height() const noexcept { return cell_height_; }
    void resize(int columns, int rows);

    const Cell& at(int column, int row) const noexcept { return cells_[std::size_t(row) * columns_ + column]; }
    Cell& at(int column, int row) noexcept { return cells_[std::size_t(row) * columns_ + column]; }

    // Cells whose centre lies in the pixel area become blank with this background
    // (and no layer line); returns the cells touched as a cell rectangle.
    Rect clear(const Rect& pixels, std::uint32_t background);
    // Restores cells from the layer: blank, background and line shape from the
    // layer's pixels (offset by the view origin in pixels).
    Rect restore_from_layer(const Surface& layer, const Rect& pixels, int view_x, int view_y);
    // Stores the run's bytes into the cells at x / cell width, y / cell height.
    Rect put_text(const TextRun& run);

    // Each row's bytes (Shift-JIS) with trailing spaces removed.
    std::string row_text(int row) const;
    std::vector<std::string> rows_text() const;

    // Rows changed since the last call (for redrawing).
    std::vector<bool> take_dirty_rows();

private:
    Rect cells_in(const Rect& pixels) const noexcept;
    void mark_dirty(const Rect& cells);

    int columns_, rows_, cell_width_, cell_height_;
    std::vector<Cell> cells_;
    std::vector<bool> dirty_;
};

// Background colour (the most frequent) and line exits of the layer pixels of one cell box.
struct CellLine {
    std::uint32_t background = 0;
    std::uint32_t line_colour = 0;
    std::uint8_t exits = 0;
};
CellLine classify_cell_pixels(const Surface& layer, const Rect& box) noexcept;

// The box-drawing character for a set of line exits (U+2500 family); 0 for none.
char32_t box_drawing_character(std::uint8_t exits) noexcept;

}  // namespace host
