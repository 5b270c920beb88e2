// Rates without a termios constant (e.g. 250000), set through termios2 and
// BOTHER. Kept apart because the kernel's termios2 headers clash with <termios.h>.
#pragma once

#include <cstdint>

namespace host {

// Sets input and output rate of the tty `fd` to `bits_per_second`; false with
// errno when the driver refuses.
bool set_custom_serial_speed(int fd, std::uint32_t bits_per_second) noexcept;

}  // namespace host
