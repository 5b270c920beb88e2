#include "runtime/files/printer_device.h"

#include "runtime/core/error.h"
#include "runtime/files/file_errors.h"

namespace rt {

PrinterDevice::PrinterDevice(std::string_view name)
{
    name_ = std::string(name);
    state_ = std::make_unique<FileState>();
}

void PrinterDevice::write(std::string_view, std::uint16_t site)
{
    RAISE_ERROR(err::BadFileMode, site);
}

std::int32_t PrinterDevice::loc(std::uint16_t site)
{
    RAISE_ERROR(err::BadFileMode, site);
}

bool PrinterDevice::eof(std::uint16_t site)
{
    RAISE_ERROR(err::BadFileMode, site);
}

std::string PrinterDevice::read(std::uint32_t, std::uint16_t site)
{
    RAISE_ERROR(file_error::PrinterInput, site);
}

}  // namespace rt
