// The dump page's addressing: page moves, the row cycle, the request of a
// row and the text a row reply leaves on screen.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "protocol.h"

namespace monitor {

inline constexpr int kDumpRows = 16;
inline constexpr int kDumpRowBytes = 16;
inline constexpr std::int32_t kDumpRowStep = 256;     // arrow keys
inline constexpr std::int32_t kDumpPageStep = 4096;   // Page Up / Page Down

// The page start after moving by `delta` bytes. Qk14 wraps within 64 KB on
// multiples of 256 (FF00 + 256 is 0000); QkP877W toggles between 000 and 100.
std::uint16_t moved_dump_base(std::uint16_t dumpBase, std::int32_t delta, MonitorKind monitor);

// The next row to read after `dumpRowOffset`: 0, 16, ..., 240, then 0 again.
std::uint16_t next_dump_row_offset(std::uint16_t dumpRowOffset);

// Four upper-case hexadecimal digits with leading zeros.
std::string address_text(std::uint32_t address);

// The request for one row: its address as four digits, then code 1F.
std::string dump_row_request(std::uint16_t dumpBase, std::uint16_t dumpRowOffset);

// What a row reply prints from column 6 of its row: each of the 16 digit pairs
// followed by a blank; a missing pair prints only its blank, and characters
// past the 32nd are not shown.
std::string dump_row_text(std::string_view reply);

// The console row of the row at `dumpRowOffset`.
inline constexpr int dump_row_screen_row(std::uint16_t dumpRowOffset) { return 3 + dumpRowOffset / 16; }

}  // namespace monitor
