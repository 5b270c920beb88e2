#include "host/serial_custom_speed.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace host {

bool set_custom_serial_speed(int fd, std::uint32_t bits_per_second) noexcept
{
    termios2 t{};
    if (ioctl(fd, TCGETS2, &t) != 0)
        return false;
    t.c_cflag &= ~CBAUD;
    t.c_cflag |= BOTHER;
    t.c_cflag &= ~(CBAUD << IBSHIFT);
    t.c_cflag |= BOTHER << IBSHIFT;
    t.c_ispeed = bits_per_second;
    t.c_ospeed = bits_per_second;
    return ioctl(fd, TCSETS2, &t) == 0;
}

}  // namespace host
