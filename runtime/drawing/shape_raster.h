// Rasterising lines and boxes onto a pixel surface.
//
// A line segment leaves out its last pixel,
// which is why callers extend the far end by one pixel (see line_points()).
#pragma once

#include <array>
#include <cstdint>

#include "host/surface.h"
#include "runtime/drawing/raster_operation.h"

namespace rt::drawing {

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

struct Pen {
    std::uint32_t colour = 0;
    RasterOperation op = RasterOperation::Copy;
};

// The three points of the polyline that draws a line from `start` to `end`
// with the one-pixel end extension: start, end, end + extension. The extension
// follows the sign of each delta and is dropped on the minor axis of a
// shallow (2|dy| < |dx|) or steep (2|dx| < |dy|) line.
std::array<Point, 3> line_points(Point start, Point end) noexcept;

// Draws the segments of a polyline, each without its last pixel; every pixel
// is touched once even where segments meet (so xor stays consistent).
// Returns the bounding rectangle of the pixels set (clipped to the surface).
host::Rect draw_polyline(host::Surface& surface, const Point* points, int count, const Pen& pen);

// Corners ordered and extended by one pixel on the larger side, as boxes are
// drawn: returns {left, top, right, bottom} with right/bottom exclusive.
host::Rect box_rect(Point a, Point b) noexcept;

// Draws the outline of `box` (exclusive right/bottom) with the pen, and fills
// its inside with `fill` when given. Returns the area touched.
host::Rect draw_box(host::Surface& surface, const host::Rect& box, const Pen& pen, const std::uint32_t* fill);

}  // namespace rt::drawing
