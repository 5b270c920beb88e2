// Key codes that the console queues for keys without a character of their own.
#pragma once

#include <cstdint>

namespace rt::console::key {

inline constexpr std::uint8_t Closing = 0;  // returned by the blocking read when the program is closing
inline constexpr std::uint8_t Break = 3;    // Ctrl+C
inline constexpr std::uint8_t Delete = 4;   // read back as 127
inline constexpr std::uint8_t DeleteToEnd = 5;
inline constexpr std::uint8_t Backspace = 8;
inline constexpr std::uint8_t Home = 11;
inline constexpr std::uint8_t ShiftHome = 12;  // also Clear
inline constexpr std::uint8_t Enter = 13;      // also Execute
inline constexpr std::uint8_t Insert = 18;
inline constexpr std::uint8_t PageUp = 19;
inline constexpr std::uint8_t PageDown = 20;
inline constexpr std::uint8_t End = 21;
inline constexpr std::uint8_t Cancel = 24;
inline constexpr std::uint8_t Right = 28;
inline constexpr std::uint8_t Left = 29;
inline constexpr std::uint8_t Up = 30;
inline constexpr std::uint8_t Down = 31;
inline constexpr std::uint8_t DeleteAsRead = 127;

}  // namespace rt::console::key
