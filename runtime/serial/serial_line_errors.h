// The mapping of a port's error word to the runtime's error numbers (err::).
#pragma once

#include <cstdint>

namespace rt {

// The error word as a whole: one known bit maps to its number, 0 to 0, and
// anything else (several bits, break, unknown) to 27. A parity error counts
// only when the channel checks parity.
std::uint16_t map_serial_error_word(std::uint32_t word, bool parity_check) noexcept;

}  // namespace rt
