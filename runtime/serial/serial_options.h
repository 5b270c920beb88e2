// The options text of a serial open ("S8N1N8,RB8192"): the format read by
// position, then the keyed options ,CS ,DS ,SB ,RB ,SD ,RD.
//
// Format positions (1-based; a position past the end is absent):
//   1 S F X          accepted, no effect
//   2 4..8           ByteSize and data bits
//   3 N O E M S      Parity 0..4, parity checking on (also for N)
//   4 1 2            StopBits one or two
//   5 N X            XON/XOFF off, or on with 0x11/0x13
//   6 7 8            character width
//   7 E N            RTS/CTS handshake, or RTS on without flow control (also when absent)
//   8 E N            DTR/DSR handshake, or DTR on without flow control (also when absent)
//   9 any            N: no error character; c: ErrorChar c, parity checking off
//   10, 11 any       ignored
// A longer format, or a position holding anything else, makes the open fail
// with error 5. Absent positions 2..6 and 9 keep the defaults.
#pragma once

#include <cstdint>
#include <string_view>

#include "host/serial_line_settings.h"

namespace rt {

// Built during one open, then dropped. The keyed options keep the names they
// have in the open format (CS, DS, SB, RB, SD, RD).
// NOLINTBEGIN(readability-identifier-naming)
struct SerialOptions {
    std::uint32_t CS = 0;     // ms for CTS to come on at open; 0: not waited for
    std::uint32_t DS = 0;     // ms for DSR to come on at open; 0: not waited for
    std::int32_t SB = 2048;   // transmit queue bytes
    std::int32_t RB = 2048;   // receive queue bytes
    std::uint32_t SD = 0;     // send time-out, ms
    std::uint32_t RD = 0;     // receive time-out, ms
    std::uint8_t data_bits = 8;
    std::uint8_t character_width = 8;
};
// NOLINTEND(readability-identifier-naming)

inline constexpr std::size_t kMaxSerialFormatLength = 11;

// The keyed options' number reader: the digits 0-9 only. Empty or any other
// character: -1; above 2147483647: -2.
std::int32_t read_option_number(std::string_view text) noexcept;

// Applies `options_text` (either case) to `settings` and `options`, which hold
// the defaults on entry. False when the format is refused (error 5); the
// outputs may then be partly changed.
bool apply_serial_options(std::string_view options_text, host::SerialLineSettings& settings, SerialOptions& options);

}  // namespace rt
