#include <gtest/gtest.h>

#include "tests/host_frontends/font_for_tests.h"
#include "host/pixel_painter.h"

namespace {

using host::PixelPainter;
using host::Rect;
using host::TextRun;

constexpr std::uint32_t kLayerColour = 0x000080;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kRed = 0xFF0000;

TextRun run_at(int column, int row, std::string_view text, std::uint32_t fg, std::uint32_t bg = 0, bool paint_bg = false)
{
    TextRun run;
    run.column = column, run.row = row;
    run.x = column * host::kFontCellWidth, run.y = row * host::kFontCellHeight;
    run.text = text;
    run.foreground = fg, run.background = bg, run.paint_background = paint_bg;
    return run;
}

// Pixels in [x0, x1) of the cell rows that differ from `colour`.
int pixels_not(const host::Surface& s, int x0, int x1, int y0, int y1, std::uint32_t colour)
{
    int count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            count += s.pixel(x, y) != colour;
    return count;
}

TEST(PixelPainter, NormalTextDrawsOverTheLayer)
{
    PixelPainter painter(test_font(), 640, 432);
    const host::Surface layer(640, 432, kLayerColour);
    painter.restore_from_layer(layer, Rect{0, 0, 640, 432});
    painter.draw_text(run_at(2, 1, "A", kWhite, kRed, false));
    const auto& s = painter.surface();
    const int top = 18 + host::kGlyphTop;
    EXPECT_EQ(s.pixel(16 + 3, top + 4), kWhite);        // apex of "A"
    EXPECT_EQ(s.pixel(16 + 0, top + 4), kLayerColour);  // the layer shows between strokes
    EXPECT_EQ(s.pixel(16 + 3, 18), kLayerColour);       // blank row above the glyph
    EXPECT_EQ(pixels_not(s, 0, 640, 0, 432, kLayerColour), pixels_not(s, 16, 24, 18, 36, kLayerColour));
}

TEST(PixelPainter, ReversedTextPaintsTheWholeCell)
{
    PixelPainter painter(test_font(), 640, 432, kLayerColour);
    painter.draw_text(run_at(0, 0, "A ", 0x000000, kWhite, true));
    const auto& s = painter.surface();
    EXPECT_EQ(s.pixel(0, 0), kWhite);
    EXPECT_EQ(s.pixel(15, 17), kWhite);                 // both cells, all 18 rows
    EXPECT_EQ(s.pixel(3, host::kGlyphTop + 4), 0x000000U);
    EXPECT_EQ(s.pixel(16, 0), kLayerColour);           // nothing beyond the run
}

TEST(PixelPainter, DoubleByteTakesTwoCellsAndNarrowFormsAreCentred)
{
    PixelPainter painter(test_font(), 640, 432);
    // 一 (0x88EA), then α (0x83BF, an 8-pixel glyph), then "A".
    const Rect changed = painter.draw_text(run_at(0, 0, "\x88\xEA\x83\xBF" "A", kWhite));
    EXPECT_EQ(changed.left, 0);
    EXPECT_EQ(changed.right, 40);
    const auto& s = painter.surface();
    EXPECT_EQ(s.pixel(1, host::kGlyphTop + 7), kWhite);    // the stroke of 一 spans 16 pixels
    EXPECT_EQ(s.pixel(14, host::kGlyphTop + 7), kWhite);
    EXPECT_EQ(pixels_not(s, 16, 20, 0, 18, 0), 0);         // α sits in the middle of its two cells
    EXPECT_EQ(pixels_not(s, 28, 32, 0, 18, 0), 0);
    EXPECT_GT(pixels_not(s, 20, 28, 0, 18, 0), 0);
    EXPECT_EQ(s.pixel(32 + 3, host::kGlyphTop + 4), kWhite);  // "A" in column 4
}

TEST(PixelPainter, InvalidBytesAndMissingGlyphsStayVisible)
{
    PixelPainter painter(test_font(), 640, 432);
    painter.draw_text(run_at(0, 0, "\x80", kWhite));       // not Shift-JIS: replacement glyph
    painter.draw_text(run_at(2, 0, "\xF0\x40", kWhite));   // user-defined area: no glyph, a box
    const auto& s = painter.surface();
    EXPECT_GT(pixels_not(s, 0, 8, 0, 18, 0), 10);
    EXPECT_EQ(s.pixel(16 + 1, host::kGlyphTop + 1), kWhite);
    EXPECT_EQ(s.pixel(16 + 14, host::kGlyphTop + 14), kWhite);
}

TEST(PixelPainter, RestoreUsesTheViewOriginAndClips)
{
    PixelPainter painter(test_font(), 64, 36);
    host::Surface layer(640, 432, 0);
    layer.pixel(80 + 5, 36 + 7) = kRed;  // column 10, row 2 of the layer
    painter.set_view_origin(80, 36);
    const Rect r = painter.restore_from_layer(layer, Rect{-10, -10, 1000, 1000});
    EXPECT_EQ(r.right, 64);
    EXPECT_EQ(r.bottom, 36);
    EXPECT_EQ(painter.surface().pixel(5, 7), kRed);
    // A run hanging over the right edge is cut, not written out of bounds.
    const Rect changed = painter.draw_text(run_at(7, 1, "WXYZ", kWhite));
    EXPECT_EQ(changed.left, 56);
    EXPECT_EQ(changed.right, 64);
}

TEST(PixelPainter, ResizeKeepsPixels)
{
    PixelPainter painter(test_font(), 16, 16);
    painter.fill(Rect{0, 0, 4, 4}, kRed);
    painter.resize(32, 8, kWhite);
    EXPECT_EQ(painter.surface().width(), 32);
    EXPECT_EQ(painter.surface().pixel(3, 3), kRed);
    EXPECT_EQ(painter.surface().pixel(20, 3), kWhite);
}

}  // namespace
