// The fixed devices "KYBD:" (slot 0) and "SCRN:" (slot 1) of the device
// table: the main console window's key queue and text screen.
#pragma once

#include "runtime/files/device.h"

namespace rt::console {

class KeyboardDevice final : public Device {
public:
    KeyboardDevice();
    DeviceClass device_class() const noexcept override { return DeviceClass::Keyboard; }
    std::int32_t loc(std::uint16_t site) override;                     // keys waiting
    bool eof(std::uint16_t site) override;                              // no key waiting
    // `count` blocking key reads; Ctrl+C is skipped, Delete reads as 127.
    std::string read(std::uint32_t count, std::uint16_t site) override;
    void opened(std::int16_t mode) override;  // empties the key queue
};

class ScreenDevice final : public Device {
public:
    ScreenDevice();
    DeviceClass device_class() const noexcept override { return DeviceClass::Screen; }
    void write(std::string_view bytes, std::uint16_t site) override;  // the console writer
};

}  // namespace rt::console
