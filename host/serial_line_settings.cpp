#include "host/serial_line_settings.h"

#include <termios.h>

#include <array>
#include <utility>

namespace host {

namespace {

constexpr std::array<std::pair<std::uint32_t, speed_t>, 30> kSpeeds{{
    {50, B50},         {75, B75},         {110, B110},       {134, B134},       {150, B150},
    {200, B200},       {300, B300},       {600, B600},       {1200, B1200},     {1800, B1800},
    {2400, B2400},     {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
    {57600, B57600},   {115200, B115200}, {230400, B230400}, {460800, B460800}, {500000, B500000},
    {576000, B576000}, {921600, B921600}, {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
}};

tcflag_t size_flag(std::uint8_t byte_size)
{
    switch (byte_size) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    default: return CS8;
    }
}

}  // namespace

void make_raw_termios(termios& t)
{
    t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL);
    t.c_oflag &= ~OPOST;
    t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    // Modem control lines do not gate the open or the reads; close drops DTR.
    t.c_cflag |= CREAD | CLOCAL | HUPCL;
    // A non-blocking read of an empty queue fails with EAGAIN (VTIME is not
    // 0), so one returning 0 means the line hung up; a blocking read waits
    // for the first byte for at most VTIME.
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = kSerialReadWaitTenths;
}

unsigned speed_to_termios_constant(std::uint32_t bits_per_second) noexcept
{
    for (const auto& [rate, constant] : kSpeeds)
        if (rate == bits_per_second)
            return constant;
    return 0;
}

std::uint32_t termios_constant_to_speed(unsigned constant) noexcept
{
    for (const auto& [rate, c] : kSpeeds)
        if (c == constant)
            return rate;
    return 0;
}

bool line_settings_to_termios(const SerialLineSettings& s, termios& t)
{
    if (s.ByteSize < 5 || s.ByteSize > 8 || s.Parity > serial_parity::kSpace)
        return false;

    make_raw_termios(t);
    t.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | IGNPAR);
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    t.c_cflag |= size_flag(s.ByteSize);
    switch (s.Parity) {
    case serial_parity::kOdd: t.c_cflag |= PARENB | PARODD; break;
    case serial_parity::kEven: t.c_cflag |= PARENB; break;
    case serial_parity::kMark: t.c_cflag |= PARENB | PARODD | CMSPAR; break;
    case serial_parity::kSpace: t.c_cflag |= PARENB | CMSPAR; break;
    default: break;
    }
    if (s.fParity)
        t.c_iflag |= INPCK;
    if (s.StopBits != serial_stop_bits::kOne)
        t.c_cflag |= CSTOPB;
    if (s.fOutX)
        t.c_iflag |= IXON;
    if (s.fInX)
        t.c_iflag |= IXOFF;
    t.c_cc[VSTART] = static_cast<cc_t>(s.XonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(s.XoffChar);
    if (s.fOutxCtsFlow || s.fRtsControl == serial_control::kHandshake)
        t.c_cflag |= CRTSCTS;
    return true;
}

SerialLineSettings line_settings_from_termios(const termios& t, const SerialLineSettings& base)
{
    SerialLineSettings s = base;
    if (std::uint32_t rate = termios_constant_to_speed(cfgetospeed(&t)); rate != 0)
        s.BaudRate = rate;
    switch (t.c_cflag & CSIZE) {
    case CS5: s.ByteSize = 5; break;
    case CS6: s.ByteSize = 6; break;
    case CS7: s.ByteSize = 7; break;
    default: s.ByteSize = 8; break;
    }
    if (!(t.c_cflag & PARENB))
        s.Parity = serial_parity::kNone;
    else if (t.c_cflag & CMSPAR)
        s.Parity = (t.c_cflag & PARODD) ? serial_parity::kMark : serial_parity::kSpace;
    else
        s.Parity = (t.c_cflag & PARODD) ? serial_parity::kOdd : serial_parity::kEven;
    s.fParity = (t.c_iflag & INPCK) != 0;
    s.StopBits = (t.c_cflag & CSTOPB) ? serial_stop_bits::kTwo : serial_stop_bits::kOne;
    s.fOutX = (t.c_iflag & IXON) != 0;
    s.fInX = (t.c_iflag & IXOFF) != 0;
    s.XonChar = t.c_cc[VSTART];
    s.XoffChar = t.c_cc[VSTOP];
    s.fOutxCtsFlow = (t.c_cflag & CRTSCTS) != 0;
    s.fBinary = !(t.c_lflag & ICANON);
    return s;
}

}  // namespace host
