// Rasterising lines and boxes with the one-pixel end extension.
#include <gtest/gtest.h>

#include "runtime/drawing/shape_raster.h"

using namespace rt::drawing;

namespace {

int count_set(const host::Surface& s, std::uint32_t colour)
{
    int n = 0;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            n += s.pixel(x, y) == colour;
    return n;
}

host::Rect draw_line(host::Surface& s, Point a, Point b, Pen pen = {0xFF0000, RasterOperation::Copy})
{
    auto points = line_points(a, b);
    return draw_polyline(s, points.data(), 3, pen);
}

}  // namespace

TEST(LineExtension, FollowsTheMajorAxisOnly)
{
    // 2*3 < 10: only x is extended.
    EXPECT_EQ(line_points({0, 0}, {10, 3})[2], (Point{11, 3}));
    // 2*6 >= 10 and 2*10 >= 6: both are extended.
    EXPECT_EQ(line_points({0, 0}, {10, 6})[2], (Point{11, 7}));
    // Steep line upwards and to the left.
    EXPECT_EQ(line_points({10, 20}, {9, 0})[2], (Point{9, -1}));
    // A zero-length line gets no extension: three equal points.
    auto zero = line_points({5, 5}, {5, 5});
    EXPECT_EQ(zero[0], zero[1]);
    EXPECT_EQ(zero[1], zero[2]);
}

TEST(LineRaster, HorizontalAndVerticalLinesIncludeBothEnds)
{
    host::Surface s(640, 432, 0);
    host::Rect area = draw_line(s, {48, 197}, {424, 197});
    for (int x = 48; x <= 424; ++x)
        ASSERT_EQ(s.pixel(x, 197), 0xFF0000u) << x;
    EXPECT_EQ(s.pixel(47, 197), 0u);
    EXPECT_EQ(s.pixel(425, 197), 0u);
    EXPECT_EQ(count_set(s, 0xFF0000), 424 - 48 + 1);
    EXPECT_EQ(area.left, 48);
    EXPECT_EQ(area.right, 425);

    host::Surface v(640, 432, 0);
    draw_line(v, {236, 56}, {236, 340});
    EXPECT_EQ(count_set(v, 0xFF0000), 340 - 56 + 1);
    EXPECT_EQ(v.pixel(236, 56), 0xFF0000u);
    EXPECT_EQ(v.pixel(236, 340), 0xFF0000u);
}

TEST(LineRaster, XorTouchesEachPixelOnceAndUndoesItself)
{
    host::Surface s(64, 64, 0x123456);
    Pen pen{0xFFFFFF, RasterOperation::Xor};
    draw_line(s, {1, 1}, {40, 20}, pen);
    EXPECT_GT(count_set(s, 0x123456 ^ 0xFFFFFF), 30);
    draw_line(s, {1, 1}, {40, 20}, pen);
    EXPECT_EQ(count_set(s, 0x123456), 64 * 64);
}

TEST(LineRaster, PixelsOutsideTheSurfaceAreClipped)
{
    host::Surface s(10, 10, 0);
    host::Rect area = draw_line(s, {-5, 5}, {20, 5});
    EXPECT_EQ(count_set(s, 0xFF0000), 10);
    EXPECT_EQ(area.left, 0);
    EXPECT_EQ(area.right, 10);
}

TEST(BoxRaster, OrderedCornersOutlineAndFill)
{
    host::Surface s(20, 20, 0);
    host::Rect box = box_rect({8, 9}, {2, 3});
    EXPECT_EQ(box.left, 2);
    EXPECT_EQ(box.top, 3);
    EXPECT_EQ(box.right, 9);
    EXPECT_EQ(box.bottom, 10);
    const std::uint32_t fill = 0x00FF00;
    draw_box(s, box, {0xFF0000, RasterOperation::Copy}, &fill);
    EXPECT_EQ(s.pixel(2, 3), 0xFF0000u);
    EXPECT_EQ(s.pixel(8, 9), 0xFF0000u);
    EXPECT_EQ(s.pixel(5, 6), 0x00FF00u);
    EXPECT_EQ(s.pixel(9, 9), 0u);
    EXPECT_EQ(count_set(s, 0xFF0000), 2 * 7 + 2 * 5);
}

TEST(RasterOperations, ModesMapAsDocumented)
{
    EXPECT_EQ(raster_operation_from_mode(2), RasterOperation::Mask);
    EXPECT_EQ(raster_operation_from_mode(3), RasterOperation::Merge);
    EXPECT_EQ(raster_operation_from_mode(4), RasterOperation::Xor);
    EXPECT_EQ(raster_operation_from_mode(5), RasterOperation::Not);
    EXPECT_EQ(raster_operation_from_mode(9), RasterOperation::Copy);
    EXPECT_EQ(apply_raster(RasterOperation::Mask, 0x00FFFF, 0xFF00FF), 0x0000FFu);
    EXPECT_EQ(apply_raster(RasterOperation::Not, 0x0000FF, 0), 0xFFFF00u);
}
