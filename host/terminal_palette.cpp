#include "host/terminal_palette.h"

#include <array>

namespace host {
namespace {

constexpr std::array<int, 6> kCubeLevels{0, 95, 135, 175, 215, 255};

int channel(std::uint32_t rgb, int shift) noexcept
{
    return int((rgb >> shift) & 0xFF);
}

long distance(std::uint32_t a, std::uint32_t b) noexcept
{
    long sum = 0;
    for (int shift : {16, 8, 0}) {
        const long d = channel(a, shift) - channel(b, shift);
        sum += d * d;
    }
    return sum;
}

}  // namespace

TerminalColours terminal_colours_for(int colour_count, bool has_colours) noexcept
{
    if (!has_colours || colour_count < 8)
        return TerminalColours::None;
    if (colour_count >= 0x1000000)
        return TerminalColours::Direct;
    if (colour_count >= 256)
        return TerminalColours::Indexed256;
    return TerminalColours::Basic8;
}

std::uint32_t indexed256_rgb(int index) noexcept
{
    if (index >= 232) {
        const auto grey = std::uint32_t(8 + (index - 232) * 10);
        return grey << 16 | grey << 8 | grey;
    }
    const int i = index - 16;
    return std::uint32_t(kCubeLevels[std::size_t(i / 36)]) << 16 | std::uint32_t(kCubeLevels[std::size_t(i / 6 % 6)]) << 8 |
           std::uint32_t(kCubeLevels[std::size_t(i % 6)]);
}

int nearest_indexed256(std::uint32_t rgb) noexcept
{
    int best = 16;
    long best_distance = distance(rgb, indexed256_rgb(16));
    for (int index = 17; index < 256; ++index) {
        const long d = distance(rgb, indexed256_rgb(index));
        if (d < best_distance)
            best = index, best_distance = d;
    }
    return best;
}

int nearest_basic8(std::uint32_t rgb) noexcept
{
    // Colour numbers: bit 0 red, bit 1 green, bit 2 blue. A channel counts as on
    // from half intensity, so the dim and bright forms of a colour meet here.
    const bool red = channel(rgb, 16) >= 96, green = channel(rgb, 8) >= 96, blue = channel(rgb, 0) >= 96;
    return int(red) | int(green) << 1 | int(blue) << 2;
}

int terminal_colour(std::uint32_t rgb, TerminalColours mode) noexcept
{
    switch (mode) {
    case TerminalColours::Direct: return int(rgb & 0xFFFFFF);
    case TerminalColours::Indexed256: return nearest_indexed256(rgb);
    case TerminalColours::Basic8: return nearest_basic8(rgb);
    case TerminalColours::None: break;
    }
    return -1;
}

}  // namespace host
