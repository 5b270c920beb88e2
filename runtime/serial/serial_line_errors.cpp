#include "runtime/serial/serial_line_errors.h"

#include "host/serial_port.h"
#include "runtime/core/error.h"

namespace rt {

std::uint16_t map_serial_error_word(std::uint32_t word, bool parity_check) noexcept
{
    namespace bit = host::serial_error_bit;
    switch (word) {
    case 0: return 0;
    case bit::kReceiveOverrun: return err::kBufferOverflow;
    case bit::kHardwareOverrun: return err::kDeviceFault;
    case bit::kParity: return parity_check ? err::kDeviceFault : 0;
    case bit::kFraming: return err::kDeviceFault;
    case bit::kTransmitFull: return err::kBufferOverflow;
    case bit::kDeviceIo: return err::kDeviceFault;
    case bit::kDeviceNotSelected: return err::kDeviceNotFound;
    case bit::kOutOfPaper: return err::kDeviceNotFound;
    default: return err::kSystemCallFailed;
    }
}

}  // namespace rt
