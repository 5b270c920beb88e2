// Hexadecimal digits as the boards' protocol has them: either case read,
// upper case written. The simulator, its options and the tests that read
// its log share these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace sim {

// The value of one digit, or -1 when `c` is not a hexadecimal digit.
constexpr int hex_digit_value(char c) noexcept
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

constexpr bool is_hex_digit(char c) noexcept { return hex_digit_value(c) >= 0; }

// The upper-case digit of the low four bits of `value`.
constexpr char hex_digit(unsigned value) noexcept { return "0123456789ABCDEF"[value & 0xF]; }

// Two upper-case digits per byte.
inline std::string hex_bytes(const std::uint8_t* bytes, std::size_t count)
{
    std::string text;
    text.reserve(count * 2);
    for (std::size_t i = 0; i < count; ++i) {
        text.push_back(hex_digit(bytes[i] >> 4));
        text.push_back(hex_digit(bytes[i]));
    }
    return text;
}

}  // namespace sim
