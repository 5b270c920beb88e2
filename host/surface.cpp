#include "host/surface.h"

#include <algorithm>

namespace host {

namespace {

// The part of `r` that lies inside a width x height surface.
Rect clip(const Rect& r, int width, int height) noexcept
{
    return Rect{std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, width), std::min(r.bottom, height)};
}

}  // namespace

void Surface::fill(const Rect& r, std::uint32_t colour) noexcept
{
    const Rect c = clip(r, width_, height_);
    if (c.empty())
        return;
    for (int y = c.top; y < c.bottom; ++y) {
        auto row = pixels_.begin() + std::ptrdiff_t(y) * width_;
        std::fill(row + c.left, row + c.right, colour);
    }
}

void Surface::copy_from(const Surface& from, const Rect& r) noexcept
{
    const Rect c = clip(clip(r, width_, height_), from.width_, from.height_);
    if (c.empty() || &from == this)
        return;
    for (int y = c.top; y < c.bottom; ++y) {
        auto source = from.pixels_.begin() + std::ptrdiff_t(y) * from.width_;
        auto target = pixels_.begin() + std::ptrdiff_t(y) * width_;
        std::copy(source + c.left, source + c.right, target + c.left);
    }
}

void Surface::resize(int width, int height, std::uint32_t fill)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    std::vector<std::uint32_t> pixels(std::size_t(width) * height, fill);
    const int keep_width = std::min(width, width_);
    const int keep_height = std::min(height, height_);
    for (int y = 0; y < keep_height; ++y) {
        auto source = pixels_.begin() + std::ptrdiff_t(y) * width_;
        std::copy(source, source + keep_width, pixels.begin() + std::ptrdiff_t(y) * width);
    }
    pixels_ = std::move(pixels);
    width_ = width;
    height_ = height;
}

}  // namespace host
