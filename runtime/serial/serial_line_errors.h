// Runtime error numbers of the serial line, and the mapping of a port's
// error word to them.
#pragma once

#include <cstdint>

namespace rt {

namespace serial_error {
inline constexpr std::uint16_t SystemCallFailed = 27;  // several errors at once, break, other
inline constexpr std::uint16_t LineFault = 53;         // overrun, framing, parity, device I/O
inline constexpr std::uint16_t BadFileMode = 51;
inline constexpr std::uint16_t DeviceUnavailable = 59;
inline constexpr std::uint16_t DeviceNotFound = 60;    // also: device not selected, out of paper
inline constexpr std::uint16_t BufferOverflow = 61;    // receive overrun, transmit queue full
inline constexpr std::uint16_t Timeout = 78;
inline constexpr std::uint16_t DeviceAccessDisabled = 90;
}  // namespace serial_error

// The error word as a whole: one known bit maps to its number, 0 to 0, and
// anything else (several bits, break, unknown) to 27. A parity error counts
// only when the channel checks parity.
std::uint16_t map_serial_error_word(std::uint32_t word, bool parity_check) noexcept;

}  // namespace rt
