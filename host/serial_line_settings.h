// The line-settings record of a serial port (its members carry the names the
// runtime's serial channel options fill in) and its mapping to termios.
//
// What each member does on the line:
//   BaudRate      any standard rate; other rates through BOTHER where the driver takes them
//   ByteSize      5..8 (CS5..CS8); 4 is refused
//   Parity        0 none, 1 odd, 2 even, 3 mark, 4 space (mark and space through CMSPAR)
//   fParity       input parity checking (INPCK); a byte with a parity error is read as NUL
//   StopBits      0 one (clear CSTOPB), 2 two (CSTOPB); 1 (one and a half) counts as two
//   fOutX, fInX   IXON, IXOFF with XonChar/XoffChar as VSTART/VSTOP
//   fOutxCtsFlow  CRTSCTS (the driver's RTS/CTS handshake covers both directions,
//                 so fRtsControl 2 also switches it on)
//   fRtsControl   0 RTS off, 1 RTS on, 2 handshake (CRTSCTS)
//   fDtrControl   0 DTR off, 1 DTR on, 2 handshake: Linux has no DTR/DSR handshake,
//                 so DTR is held on
//   fOutxDsrFlow  nothing: no Linux driver holds output on DSR; the runtime
//                 records what the channel's options asked for
//   fErrorChar, ErrorChar, fNull, XonLim, XoffLim
//                 nothing, recorded likewise: the line discipline has no
//                 error-character replacement, never strips NUL in raw mode, and
//                 sizes its own queues
//   fBinary       the port always runs raw (no line editing, no output processing)
#pragma once

#include <cstdint>

struct termios;

namespace host {

// The field names are the serial line record's documented names, kept as they
// are documented rather than in the code's own naming rule.
// NOLINTBEGIN(readability-identifier-naming)
struct SerialLineSettings {
    std::uint32_t BaudRate = 9600;
    bool fBinary = true;
    bool fParity = false;
    bool fOutxCtsFlow = false;
    bool fOutxDsrFlow = false;
    std::uint8_t fDtrControl = 1;
    bool fOutX = false;
    bool fInX = false;
    bool fErrorChar = false;
    bool fNull = false;
    std::uint8_t fRtsControl = 1;
    std::uint16_t XonLim = 0;
    std::uint16_t XoffLim = 0;
    std::uint8_t ByteSize = 8;
    std::uint8_t Parity = 0;
    std::uint8_t StopBits = 0;
    std::uint8_t XonChar = 0x11;
    std::uint8_t XoffChar = 0x13;
    std::uint8_t ErrorChar = 0;

    bool operator==(const SerialLineSettings&) const = default;
};
// NOLINTEND(readability-identifier-naming)

namespace serial_control {
inline constexpr std::uint8_t kDisable = 0;
inline constexpr std::uint8_t kEnable = 1;
inline constexpr std::uint8_t kHandshake = 2;
}  // namespace serial_control

namespace serial_parity {
inline constexpr std::uint8_t kNone = 0;
inline constexpr std::uint8_t kOdd = 1;
inline constexpr std::uint8_t kEven = 2;
inline constexpr std::uint8_t kMark = 3;
inline constexpr std::uint8_t kSpace = 4;
}  // namespace serial_parity

namespace serial_stop_bits {
inline constexpr std::uint8_t kOne = 0;
inline constexpr std::uint8_t kOneAndHalf = 1;
inline constexpr std::uint8_t kTwo = 2;
}  // namespace serial_stop_bits

// Fills `t` (taken from the port) with the settings. False, and `t` unchanged,
// when a member has no termios form (ByteSize outside 5..8, Parity above 4).
// The speed is not set here (see speed_to_termios_constant).
bool line_settings_to_termios(const SerialLineSettings& settings, termios& t);

// The settings that termios `t` describes; members without a termios form
// keep their values from `base`.
SerialLineSettings line_settings_from_termios(const termios& t, const SerialLineSettings& base);

// How long a blocking read waits for its first byte: termios VTIME, in tenths
// of a second (VMIN 0). A read returns as soon as one byte is there.
inline constexpr int kSerialReadWaitTenths = 1;

// Raw mode (no line editing, echo, signals or translation; a blocking read
// returns with the first byte or after kSerialReadWaitTenths), keeping size,
// parity, speed and flow control.
void make_raw_termios(termios& t);

// The termios speed constant (B9600, ...) of a standard rate, or 0 when the rate
// has none and needs BOTHER.
unsigned speed_to_termios_constant(std::uint32_t bits_per_second) noexcept;
// The rate of a termios speed constant; 0 for B0 or an unknown constant.
std::uint32_t termios_constant_to_speed(unsigned constant) noexcept;

}  // namespace host
