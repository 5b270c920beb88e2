// One console window's text screen: its state, cell buffer and graphics layer,
// and the drawing of cells onto the window through the front end's paint calls.
//
// Paint positions are client pixels: x = (column - view column) x cell width,
// y = (row - view row) x cell height. Nothing is drawn while minimised; the
// cells are still kept.
#pragma once

#include <cstdint>

#include "runtime/console/cell_buffer.h"
#include "host/front_end.h"
#include "host/surface.h"
#include "runtime/console/text_screen_state.h"

namespace rt::console {

class ConsoleScreen {
public:
    // A screen of `columns` x `rows` cells of `cell_width` x `cell_height` pixels,
    // painted on `window` of `front_end` (which may be null: cells only).
    ConsoleScreen(host::FrontEnd* front_end, host::WindowId window, int columns = 80, int rows = 24, int cell_width = 8,
                  int cell_height = 18);

    TextScreenState& state() noexcept { return state_; }
    const TextScreenState& state() const noexcept { return state_; }
    CellBuffer& cells() noexcept { return cells_; }
    const CellBuffer& cells() const noexcept { return cells_; }
    host::Surface& graphics_layer() noexcept { return layer_; }
    const host::Surface& graphics_layer() const noexcept { return layer_; }
    host::WindowId window() const noexcept { return window_; }
    host::FrontEnd* front_end() noexcept { return front_end_; }
    // The window is gone: keep the cells, paint nothing more.
    void detach() noexcept { front_end_ = nullptr; }

    // Set when the text scrolled; the next full paint clears it.
    bool scrolled_mark() const noexcept { return scrolled_; }

    // A cleared cell: space in the current text colour and display attribute.
    Cell blank_cell() const noexcept;

    // Redraws cells first .. first + count - 1 of `row` (widened so that no
    // double-byte character is cut): restores their area from the graphics
    // layer, then draws them in runs of equal colour and attribute.
    void draw_cells(int row, int first, int count);
    void draw_rows(int first, int count);
    // Clears rows first .. first + count - 1 and redraws them over the graphics layer.
    void clear_rows(int first, int count);
    // Scrolls the scroll region up one row, clears and redraws its last row and
    // sets the scrolled mark.
    void scroll_region_up();
    // The whole window: graphics layer, then every visible row (the paint message).
    void paint_all();
    // Fills the graphics layer's view area (whole client area by default) with
    // the background colour, on the layer and on the window.
    void fill_graphics_view();

    // Caret at the cursor, when the cursor switch is on and the window has the focus.
    void show_caret();
    void hide_caret();

    // Pixel rectangle of cells in client coordinates.
    host::Rect cell_area(int row, int first, int count) const noexcept;

    // Brackets paint calls; nests.
    class PaintScope {
    public:
        explicit PaintScope(ConsoleScreen& screen);
        ~PaintScope();
        PaintScope(const PaintScope&) = delete;
        PaintScope& operator=(const PaintScope&) = delete;

    private:
        ConsoleScreen& screen_;
    };

private:
    bool can_draw() const noexcept { return front_end_ != nullptr && !state_.minimised(); }
    void draw_run(int row, int first, int count);

    host::FrontEnd* front_end_;
    host::WindowId window_;
    TextScreenState state_;
    CellBuffer cells_;
    host::Surface layer_;
    bool scrolled_ = false;
    int paint_depth_ = 0;
};

}  // namespace rt::console
