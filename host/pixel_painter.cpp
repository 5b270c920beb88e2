#include "host/pixel_painter.h"

#include <algorithm>

namespace host {

Rect united(const Rect& a, const Rect& b) noexcept
{
    if (a.empty())
        return b;
    if (b.empty())
        return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

PixelPainter::PixelPainter(const BitmapFont& font, int width, int height, std::uint32_t background)
    : font_(font), surface_(std::max(width, 0), std::max(height, 0), background)
{
}

void PixelPainter::resize(int width, int height, std::uint32_t background)
{
    Surface resized(std::max(width, 0), std::max(height, 0), background);
    const int w = std::min(resized.width(), surface_.width());
    const int h = std::min(resized.height(), surface_.height());
    for (int y = 0; y < h; ++y)
        std::copy_n(surface_.data() + std::size_t(y) * surface_.width(), w, resized.data() + std::size_t(y) * resized.width());
    surface_ = std::move(resized);
}

Rect PixelPainter::clip(const Rect& area) const noexcept
{
    Rect r{std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, surface_.width()),
           std::min(area.bottom, surface_.height())};
    return r.empty() ? Rect{} : r;
}

Rect PixelPainter::restore_from_layer(const Surface& layer, const Rect& area) noexcept
{
    const Rect r = clip(area);
    // The columns of the area that fall inside the layer; outside it the
    // window shows black, as an unpainted client area would.
    const int inside_left = std::clamp(-view_x_, r.left, r.right);
    const int inside_right = std::clamp(layer.width() - view_x_, inside_left, r.right);
    for (int y = r.top; y < r.bottom; ++y) {
        const int layer_y = y + view_y_;
        std::uint32_t* out = surface_.data() + std::size_t(y) * surface_.width();
        if (layer_y < 0 || layer_y >= layer.height()) {
            std::fill(out + r.left, out + r.right, 0u);
            continue;
        }
        std::fill(out + r.left, out + inside_left, 0u);
        std::copy_n(layer.data() + std::size_t(layer_y) * layer.width() + (inside_left + view_x_),
                    inside_right - inside_left, out + inside_left);
        std::fill(out + inside_right, out + r.right, 0u);
    }
    return r;
}

Rect PixelPainter::fill(const Rect& area, std::uint32_t colour) noexcept
{
    const Rect r = clip(area);
    for (int y = r.top; y < r.bottom; ++y)
        std::fill_n(surface_.data() + std::size_t(y) * surface_.width() + r.left, r.width(), colour);
    return r;
}

void PixelPainter::draw_glyph(const Glyph& glyph, int x, int y, int span, std::uint32_t colour) noexcept
{
    const int offset = glyph.width < span ? (span - glyph.width) / 2 : 0;
    const int width = std::min(glyph.width, span);
    for (int row = 0; row < kGlyphHeight; ++row) {
        const int py = y + kGlyphTop + row;
        if (py < 0 || py >= surface_.height() || glyph.rows[std::size_t(row)] == 0)
            continue;
        for (int column = 0; column < width; ++column) {
            const int px = x + offset + column;
            if (px >= 0 && px < surface_.width() && glyph.pixel(column, row))
                surface_.pixel(px, py) = colour;
        }
    }
}

Rect PixelPainter::draw_text(const TextRun& run)
{
    std::string_view text = run.text;
    int x = run.x;
    Rect changed;
    while (!text.empty()) {
        const DecodedCharacter c = codec_.decode(text);
        const int span = c.length * kFontCellWidth;
        const Rect cell{x, run.y, x + span, run.y + kFontCellHeight};
        if (run.paint_background)
            fill(cell, run.background);
        Glyph glyph = font_.glyph_or_box(c.code_point, span);
        if (glyph.width > span)  // a wide form for a single-byte cell would overlap its neighbour
            glyph = missing_glyph_box(span);
        draw_glyph(glyph, x, run.y, span, run.foreground);
        changed = united(changed, clip(cell));
        x += span;
        text.remove_prefix(std::size_t(c.length));
    }
    return changed;
}

}  // namespace host
