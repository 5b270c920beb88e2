// The target command protocol: command code bytes and the reply rules.
// A request is ASCII hexadecimal argument digits followed by one code byte;
// a reply is the characters before the first byte below "0".
#pragma once

#include <cstddef>
#include <cstdint>

namespace monitor {

namespace code {
inline constexpr std::uint8_t kFirstSizedRead = 0x10;  // 10-1E: read 1-15 bytes
inline constexpr std::uint8_t kRead16 = 0x1F;
inline constexpr std::uint8_t kClearBit = 0x20;
inline constexpr std::uint8_t kSetBit = 0x21;
inline constexpr std::uint8_t kPortOut = 0x22;
inline constexpr std::uint8_t kPortIn = 0x23;
inline constexpr std::uint8_t kPortBitLow = 0x24;
inline constexpr std::uint8_t kPortBitHigh = 0x25;
}  // namespace code

// Bytes below this end a reply (and are dropped).
inline constexpr std::uint8_t kReplyEndBelow = 0x30;
// The longest valid reply (16 bytes as digit pairs); digits past it are
// dropped up to the end byte.
inline constexpr std::size_t kReplyDigitsMax = 32;

// Queue checks before a reply wait gives up.
inline constexpr std::uint32_t kCommandReplyPasses = 130000;  // every pass counts
inline constexpr std::uint32_t kWatchReplyIdleChecks = 10000; // only empty checks count

// Serial line settings the monitors open the channel with.
inline constexpr std::uint32_t kLineSpeed = 9600;

}  // namespace monitor
