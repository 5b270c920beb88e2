#include "runtime/drawing/shape_raster.h"

#include <algorithm>
#include <cstdlib>
#include <set>
#include <utility>

namespace rt::drawing {

namespace {

int sign(int v) noexcept { return (v > 0) - (v < 0); }

class PixelWriter {
public:
    PixelWriter(host::Surface& surface, const Pen& pen) : surface_(surface), pen_(pen) {}

    void put(int x, int y)
    {
        if (!surface_.contains(x, y) || !touched_.insert({x, y}).second)
            return;
        auto& p = surface_.pixel(x, y);
        p = apply_raster(pen_.op, p, pen_.colour);
        if (area_.empty()) {
            area_ = {x, y, x + 1, y + 1};
        } else {
            area_.left = std::min(area_.left, x);
            area_.top = std::min(area_.top, y);
            area_.right = std::max(area_.right, x + 1);
            area_.bottom = std::max(area_.bottom, y + 1);
        }
    }

    // Bresenham from a to b, leaving out b itself.
    void segment(Point a, Point b)
    {
        int dx = std::abs(b.x - a.x), sx = sign(b.x - a.x);
        int dy = -std::abs(b.y - a.y), sy = sign(b.y - a.y);
        int error = dx + dy;
        int x = a.x, y = a.y;
        while (x != b.x || y != b.y) {
            put(x, y);
            int e2 = 2 * error;
            if (e2 >= dy) {
                error += dy;
                x += sx;
            }
            if (e2 <= dx) {
                error += dx;
                y += sy;
            }
        }
    }

    host::Rect area() const noexcept { return area_; }

private:
    host::Surface& surface_;
    Pen pen_;
    std::set<std::pair<int, int>> touched_;
    host::Rect area_{};
};

}  // namespace

std::array<Point, 3> line_points(Point start, Point end) noexcept
{
    int dx = end.x - start.x;
    int dy = end.y - start.y;
    int ex = sign(dx);
    int ey = sign(dy);
    if (2 * std::abs(dy) < std::abs(dx))
        ey = 0;
    if (2 * std::abs(dx) < std::abs(dy))
        ex = 0;
    return {start, end, Point{end.x + ex, end.y + ey}};
}

host::Rect draw_polyline(host::Surface& surface, const Point* points, int count, const Pen& pen)
{
    PixelWriter writer(surface, pen);
    for (int i = 0; i + 1 < count; ++i)
        writer.segment(points[i], points[i + 1]);
    return writer.area();
}

host::Rect box_rect(Point a, Point b) noexcept
{
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 1, std::max(a.y, b.y) + 1};
}

host::Rect draw_box(host::Surface& surface, const host::Rect& box, const Pen& pen, const std::uint32_t* fill)
{
    PixelWriter writer(surface, pen);
    if (box.empty())
        return {};
    for (int x = box.left; x < box.right; ++x) {
        writer.put(x, box.top);
        writer.put(x, box.bottom - 1);
    }
    for (int y = box.top; y < box.bottom; ++y) {
        writer.put(box.left, y);
        writer.put(box.right - 1, y);
    }
    host::Rect area = writer.area();
    if (fill != nullptr && box.width() > 2 && box.height() > 2) {
        host::Rect inner{std::max(box.left + 1, 0), std::max(box.top + 1, 0), std::min(box.right - 1, surface.width()),
                         std::min(box.bottom - 1, surface.height())};
        if (!inner.empty())
            surface.fill(inner, *fill);
    }
    return area;
}

}  // namespace rt::drawing
