// Renders the paint calls of a console window into its client surface with the
// bitmap font; shared by the SDL2 and headless front ends.
#pragma once

#include <cstdint>

#include "host/bitmap_font.h"
#include "host/code_page.h"
#include "host/front_end.h"
#include "host/surface.h"

namespace host {

struct CaretState {
    bool visible = false;
    int x = 0, y = 0, width = 2, height = kFontCellHeight;
};

class PixelPainter {
public:
    PixelPainter(const BitmapFont& font, int width, int height, std::uint32_t background = 0);

    const Surface& surface() const noexcept { return surface_; }
    Surface& surface() noexcept { return surface_; }
    // New size; the pixels that still fit are kept, new ones get `background`.
    void resize(int width, int height, std::uint32_t background = 0);

    // Pixel offset of the visible part inside the graphics layer.
    void set_view_origin(int x, int y) noexcept { view_x_ = x, view_y_ = y; }

    // Each returns the client area it changed (clipped; empty when nothing).
    Rect restore_from_layer(const Surface& layer, const Rect& area) noexcept;
    Rect fill(const Rect& area, std::uint32_t colour) noexcept;
    // Double-byte characters take two cells; glyphs narrower than their cells are centred.
    Rect draw_text(const TextRun& run);

    void set_caret(const CaretState& caret) noexcept { caret_ = caret; }
    const CaretState& caret() const noexcept { return caret_; }

private:
    Rect clip(const Rect& area) const noexcept;
    void draw_glyph(const Glyph& glyph, int x, int y, int span, std::uint32_t colour) noexcept;

    const BitmapFont& font_;
    ShiftJisCodec codec_;
    Surface surface_;
    int view_x_ = 0, view_y_ = 0;
    CaretState caret_;
};

// Union of two rectangles (an empty one is ignored).
Rect united(const Rect& a, const Rect& b) noexcept;

}  // namespace host
