// The numeric conversion of text that the monitors apply to settings values,
// watch-file positions and reply digits: the value a text starts with (with
// the "&H" and "&O" radix forms), and the roundings to 16- and 32-bit integers.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace monitor {

// The number `text` starts with; nothing when it cannot be represented
// (the overflow error of the runtime). Text that is not a number gives 0.
std::optional<double> value_of_text(std::string_view text);

// Rounds to nearest, ties to even, as storing a real into an integer
// variable does; nothing outside the type's range.
std::optional<std::int16_t> round_to_int16(double value);
std::optional<std::int32_t> round_to_int32(double value);

}  // namespace monitor
