#include "serial_line_errors.h"

#include "host/serial_port.h"
#include "runtime/core/error.h"

namespace rt {

std::uint16_t map_serial_error_word(std::uint32_t word, bool parity_check) noexcept
{
    namespace bit = host::serial_error_bit;
    switch (word) {
    case 0: return 0;
    case bit::ReceiveOverrun: return err::BufferOverflow;
    case bit::HardwareOverrun: return err::DeviceFault;
    case bit::Parity: return parity_check ? err::DeviceFault : 0;
    case bit::Framing: return err::DeviceFault;
    case bit::TransmitFull: return err::BufferOverflow;
    case bit::DeviceIo: return err::DeviceFault;
    case bit::DeviceNotSelected: return err::DeviceNotFound;
    case bit::OutOfPaper: return err::DeviceNotFound;
    default: return err::SystemCallFailed;
    }
}

}  // namespace rt
