// Key codes that the console queues for keys without a character of their own.
#pragma once

#include <cstdint>

namespace rt::console::key {

inline constexpr std::uint8_t kClosing = 0;  // returned by the blocking read when the program is closing
inline constexpr std::uint8_t kBreak = 3;    // Ctrl+C
inline constexpr std::uint8_t kDelete = 4;   // read back as 127
inline constexpr std::uint8_t kDeleteToEnd = 5;
inline constexpr std::uint8_t kBackspace = 8;
inline constexpr std::uint8_t kHome = 11;
inline constexpr std::uint8_t kShiftHome = 12;  // also Clear
inline constexpr std::uint8_t kEnter = 13;      // also Execute
inline constexpr std::uint8_t kInsert = 18;
inline constexpr std::uint8_t kPageUp = 19;
inline constexpr std::uint8_t kPageDown = 20;
inline constexpr std::uint8_t kEnd = 21;
inline constexpr std::uint8_t kCancel = 24;
inline constexpr std::uint8_t kRight = 28;
inline constexpr std::uint8_t kLeft = 29;
inline constexpr std::uint8_t kUp = 30;
inline constexpr std::uint8_t kDown = 31;
inline constexpr std::uint8_t kDeleteAsRead = 127;

}  // namespace rt::console::key
