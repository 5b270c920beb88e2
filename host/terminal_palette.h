// Maps 0x00RRGGBB colours to the colour numbers of a terminal: direct colour,
// the 256-colour cube and grey ramp, or the 8 basic colours.
#pragma once

#include <cstdint>

namespace host {

enum class TerminalColours { None, Basic8, Indexed256, Direct };

// The terminal's colour mode from the number of colours it reports.
TerminalColours terminal_colours_for(int colour_count, bool has_colours) noexcept;

// Colour number of the nearest colour the mode offers (-1 for None).
int terminal_colour(std::uint32_t rgb, TerminalColours mode) noexcept;

// Nearest of the 240 fixed entries 16..255 of the 256-colour palette (the
// first 16 vary between terminals and are not used).
int nearest_indexed256(std::uint32_t rgb) noexcept;
// Nearest of black, red, green, yellow, blue, magenta, cyan, white (0..7).
int nearest_basic8(std::uint32_t rgb) noexcept;
// The RGB value of a 256-colour palette entry 16..255.
std::uint32_t indexed256_rgb(int index) noexcept;

}  // namespace host
