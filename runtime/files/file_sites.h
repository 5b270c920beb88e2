// Site codes of the device table and the file-number operations (the serial
// device raises its file-number errors under the same codes).
// A site code's high byte names the operation, its low byte the check.
#pragma once

#include <cstdint>

namespace rt::file_site {
inline constexpr std::uint16_t kOpenSpecification = 0x2001;
inline constexpr std::uint16_t kOpenFileNumber = 0x2002;
inline constexpr std::uint16_t kOpenAlreadyOpen = 0x2003;
inline constexpr std::uint16_t kOpenMode = 0x2004;
inline constexpr std::uint16_t kOpenSplit = 0x2005;
inline constexpr std::uint16_t kOpenPrinterOptions = 0x2006;
inline constexpr std::uint16_t kOpenDeviceMode = 0x2007;
inline constexpr std::uint16_t kOpenDevice = 0x2008;  // the device layer's own error
inline constexpr std::uint16_t kOpenDisk = 0x2009;
inline constexpr std::uint16_t kClose = 0x2101;
inline constexpr std::uint16_t kFileWrite = 0x2201;
inline constexpr std::uint16_t kEof = 0x2F07;
inline constexpr std::uint16_t kLoc = 0x3001;
inline constexpr std::uint16_t kKill = 0x3101;
inline constexpr std::uint16_t kDirOpen = 0x3201;
inline constexpr std::uint16_t kDirNext = 0x3301;
inline constexpr std::uint16_t kDirEof = 0x3401;
inline constexpr std::uint16_t kDirInfo = 0x3501;
inline constexpr std::uint16_t kDirClose = 0x3601;
inline constexpr std::uint16_t kInputString = 0x4A09;
inline constexpr std::uint16_t kInputFromFile = 0x4D01;
inline constexpr std::uint16_t kInputVars = 0x4E02;
}  // namespace rt::file_site
