// A 32-bit RGB pixel surface (0x00RRGGBB), owned by the host: the graphics
// layer and the window client area of a console window are surfaces.
#pragma once

#include <cstdint>
#include <vector>

namespace host {

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;  // right/bottom exclusive
    int width() const noexcept { return right - left; }
    int height() const noexcept { return bottom - top; }
    bool empty() const noexcept { return right <= left || bottom <= top; }
};

inline constexpr std::uint32_t rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) noexcept
{
    return (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
}

class Surface {
public:
    Surface() = default;
    Surface(int width, int height, std::uint32_t fill = 0) : width_(width), height_(height), pixels_(std::size_t(width) * height, fill) {}

    int width() const noexcept { return width_; }
    int height() const noexcept { return height_; }
    std::uint32_t pixel(int x, int y) const noexcept { return pixels_[std::size_t(y) * width_ + x]; }
    std::uint32_t& pixel(int x, int y) noexcept { return pixels_[std::size_t(y) * width_ + x]; }
    bool contains(int x, int y) const noexcept { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    const std::uint32_t* data() const noexcept { return pixels_.data(); }
    std::uint32_t* data() noexcept { return pixels_.data(); }

    void fill(const Rect& r, std::uint32_t colour) noexcept;
    // Copies the rectangle r of `from` to the same place in this surface.
    void copy_from(const Surface& from, const Rect& r) noexcept;
    // Resizes, keeping the overlapping pixels; new pixels get `fill`.
    void resize(int width, int height, std::uint32_t fill);

private:
    int width_ = 0, height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

}  // namespace host
