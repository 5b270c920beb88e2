// The two 16-entry palettes of a console window and the rule that turns a
// cell's colour number and display attribute into the colours it is drawn in.
#pragma once

#include <array>
#include <cstdint>

namespace rt::console {

using Palette = std::array<std::uint32_t, 16>;  // 0x00RRGGBB

// Text colours: blue = 1, red = 2, green = 4; 0..7 dim, 8..15 bright (0 grey, 8 black).
const Palette& text_palette() noexcept;
// Background colours: the same colours ordered dim/bright in pairs.
const Palette& background_palette() noexcept;

// Display attributes: 0 normal, 1 reversed, 4 bright, 5 bright reversed.
inline constexpr std::uint32_t kAttributeMask = ~std::uint32_t{0x8000};

struct CellColours {
    std::uint32_t foreground = 0;
    std::uint32_t background = 0;  // meaningful only when `reversed`
    bool reversed = false;         // reversed cells paint their background
    int colour_used = 0;           // index into the text palette
};

// Colour number `colour` (0..15) with attribute `attribute` against the screen's
// background colour number.
CellColours resolve_colours(int colour, std::uint32_t attribute, int background_number) noexcept;

}  // namespace rt::console
