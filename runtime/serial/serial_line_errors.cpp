#include "serial_line_errors.h"

namespace rt {

std::uint16_t map_serial_error_word(std::uint32_t word, bool parity_check) noexcept
{
    switch (word) {
    case 0x0000: return 0;
    case 0x0001: return serial_error::BufferOverflow;    // receive queue overrun
    case 0x0002: return serial_error::LineFault;         // hardware overrun
    case 0x0004: return parity_check ? serial_error::LineFault : 0;
    case 0x0008: return serial_error::LineFault;         // framing
    case 0x0100: return serial_error::BufferOverflow;    // transmit queue full
    case 0x0400: return serial_error::LineFault;         // device I/O
    case 0x0800: return serial_error::DeviceNotFound;    // device not selected
    case 0x1000: return serial_error::DeviceNotFound;    // out of paper
    default: return serial_error::SystemCallFailed;
    }
}

}  // namespace rt
