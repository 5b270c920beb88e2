#include "runtime/files/printer_device.h"

#include "runtime/core/error.h"

namespace rt {

PrinterDevice::PrinterDevice(std::string_view name)
{
    name_ = std::string(name);
    state_ = std::make_unique<FileState>();
}

std::string PrinterDevice::read(std::uint32_t, std::uint16_t site)
{
    RAISE_ERROR(err::kDeviceFault, site);
}

}  // namespace rt
