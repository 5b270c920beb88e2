// The printer devices of slots 2..9. This build does not print: the device
// table refuses their opens, and should one be reached anyway its output and
// queries raise 51 and its input 53.
#pragma once

#include <string_view>

#include "runtime/files/device.h"

namespace rt {

class PrinterDevice final : public Device {
public:
    explicit PrinterDevice(std::string_view name);

    DeviceClass device_class() const noexcept override { return DeviceClass::Printer; }
    std::string read(std::uint32_t count, std::uint16_t site) override;  // error 53
};

}  // namespace rt
