#include "serial_line_errors.h"

#include "runtime/core/error.h"

namespace rt {

std::uint16_t map_serial_error_word(std::uint32_t word, bool parity_check) noexcept
{
    switch (word) {
    case 0x0000: return 0;
    case 0x0001: return err::BufferOverflow;    // receive queue overrun
    case 0x0002: return err::DeviceFault;         // hardware overrun
    case 0x0004: return parity_check ? err::DeviceFault : 0;
    case 0x0008: return err::DeviceFault;         // framing
    case 0x0100: return err::BufferOverflow;    // transmit queue full
    case 0x0400: return err::DeviceFault;         // device I/O
    case 0x0800: return err::DeviceNotFound;    // device not selected
    case 0x1000: return err::DeviceNotFound;    // out of paper
    default: return err::SystemCallFailed;
    }
}

}  // namespace rt
