// Site codes of the device table and the file-number operations (the serial
// device raises its file-number errors under the same codes).
// A site code's high byte names the operation, its low byte the check.
#pragma once

#include <cstdint>

namespace rt::file_site {
inline constexpr std::uint16_t OpenSpecification = 0x2001;
inline constexpr std::uint16_t OpenFileNumber = 0x2002;
inline constexpr std::uint16_t OpenAlreadyOpen = 0x2003;
inline constexpr std::uint16_t OpenMode = 0x2004;
inline constexpr std::uint16_t OpenSplit = 0x2005;
inline constexpr std::uint16_t OpenPrinterOptions = 0x2006;
inline constexpr std::uint16_t OpenDeviceMode = 0x2007;
inline constexpr std::uint16_t OpenDevice = 0x2008;  // the device layer's own error
inline constexpr std::uint16_t OpenDisk = 0x2009;
inline constexpr std::uint16_t Close = 0x2101;
inline constexpr std::uint16_t FileWrite = 0x2201;
inline constexpr std::uint16_t Eof = 0x2F07;
inline constexpr std::uint16_t Loc = 0x3001;
inline constexpr std::uint16_t Kill = 0x3101;
inline constexpr std::uint16_t DirOpen = 0x3201;
inline constexpr std::uint16_t DirNext = 0x3301;
inline constexpr std::uint16_t DirEof = 0x3401;
inline constexpr std::uint16_t DirInfo = 0x3501;
inline constexpr std::uint16_t DirClose = 0x3601;
inline constexpr std::uint16_t InputString = 0x4A09;
inline constexpr std::uint16_t InputFromFile = 0x4D01;
inline constexpr std::uint16_t InputVars = 0x4E02;
}  // namespace rt::file_site
