// LINE_DRAW: a straight line, a box or a filled box on a console window, drawn
// on the window itself and into its graphics layer, so that text output (which
// repaints rows from the layer) shows it through.
#pragma once

#include <cstdint>

namespace rt {

inline constexpr std::uint16_t kDrawModeNotGiven = 0xFFFF;
inline constexpr std::uint16_t kLineStyleNotGiven = 0xFFFF;

namespace line_flags {
inline constexpr std::uint32_t kStartGiven = 1;
inline constexpr std::uint32_t kColourGiven = 4;
inline constexpr std::uint32_t kFillGiven = 8;
}  // namespace line_flags

namespace line_shape {
inline constexpr std::uint16_t kLine = 0;
inline constexpr std::uint16_t kBox = 1;
inline constexpr std::uint16_t kFilledBox = 2;
}  // namespace line_shape

void LINE_DRAW(std::uint32_t window, std::int32_t start_relative, float x1, float y1, std::int32_t end_relative, float x2,
               float y2, std::uint16_t draw_mode, std::uint16_t colour, std::uint16_t shape, std::uint16_t fill_colour,
               std::uint16_t line_style, std::uint32_t given_flags);

}  // namespace rt
