// The host serial port over real pseudo-terminals, and the port map.
#include <gtest/gtest.h>
#include <termios.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "host/serial_port.h"
#include "host/serial_port_map.h"
#include "port_holder.h"
#include "pseudo_terminal.h"

using namespace std::chrono_literals;
using host::SerialPort;
using serial_test::PseudoTerminal;

namespace {

SerialPort open_port(const std::string& path)
{
    int error = 0;
    auto port = SerialPort::open(path, error);
    if (!port)
        throw std::runtime_error("open failed: " + std::string(std::strerror(error)));
    return std::move(*port);
}

}  // namespace

TEST(SerialPortOpen, PortHeldByAnotherProgramIsRefusedAndFreedWhenItEnds)
{
    PseudoTerminal pty;
    serial_test::PortHolder other(pty.slave_path());
    ASSERT_TRUE(other.holding());
    int error = 0;
    EXPECT_FALSE(SerialPort::open(pty.slave_path(), error));
    EXPECT_EQ(error, EWOULDBLOCK);
    other.release();
    EXPECT_TRUE(SerialPort::open(pty.slave_path(), error));
}

TEST(SerialPortOpen, AbsentPathAndNonTerminalAreRefused)
{
    int error = 0;
    EXPECT_FALSE(SerialPort::open("/dev/no-such-serial-port", error));
    EXPECT_EQ(error, ENOENT);
    EXPECT_FALSE(SerialPort::open("/dev/null", error));
    EXPECT_EQ(error, ENOTTY);
}

TEST(SerialPortSettings, WrittenSettingsAreThoseInForceEvenWhereAPtyKeepsCs8)
{
    PseudoTerminal pty;
    SerialPort port = open_port(pty.slave_path());
    host::SerialLineSettings s;
    s.BaudRate = 1200;
    s.ByteSize = 7;
    s.Parity = host::serial_parity::Even;
    s.fParity = true;
    s.StopBits = host::serial_stop_bits::Two;
    s.fOutX = s.fInX = true;
    ASSERT_TRUE(port.write_settings(s));
    EXPECT_EQ(port.read_settings(), s);

    termios t{};
    ASSERT_EQ(tcgetattr(port.fd(), &t), 0);
    EXPECT_EQ(cfgetospeed(&t), B1200);
    EXPECT_TRUE(t.c_iflag & IXON);
    EXPECT_TRUE(t.c_iflag & IXOFF);
    EXPECT_FALSE(t.c_lflag & ICANON);
    EXPECT_FALSE(t.c_oflag & OPOST);
}

TEST(SerialPortSettings, RefusedSettingsKeepThePreviousOnes)
{
    PseudoTerminal pty;
    SerialPort port = open_port(pty.slave_path());
    host::SerialLineSettings good;
    good.BaudRate = 9600;
    ASSERT_TRUE(port.write_settings(good));
    host::SerialLineSettings bad = good;
    bad.ByteSize = 4;
    EXPECT_FALSE(port.write_settings(bad));
    bad = good;
    bad.BaudRate = 0;
    EXPECT_FALSE(port.write_settings(bad));
    EXPECT_EQ(port.read_settings(), good);
}

TEST(SerialLineSettingsMapping, ParityKindsAndFlowControlMapToTermiosFlags)
{
    struct Case {
        std::uint8_t parity;
        tcflag_t expected;
    };
    for (Case c : {Case{0, 0}, Case{1, PARENB | PARODD}, Case{2, PARENB}, Case{3, PARENB | PARODD | CMSPAR},
                   Case{4, PARENB | CMSPAR}}) {
        host::SerialLineSettings s;
        s.Parity = c.parity;
        termios t{};
        ASSERT_TRUE(host::line_settings_to_termios(s, t));
        EXPECT_EQ(t.c_cflag & (PARENB | PARODD | CMSPAR), c.expected) << int(c.parity);
        EXPECT_EQ(host::line_settings_from_termios(t, s).Parity, c.parity);
    }
    host::SerialLineSettings s;
    s.fRtsControl = host::serial_control::Handshake;
    s.ByteSize = 5;
    s.fParity = true;
    termios t{};
    ASSERT_TRUE(host::line_settings_to_termios(s, t));
    EXPECT_TRUE(t.c_cflag & CRTSCTS);
    EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS5));
    EXPECT_TRUE(t.c_iflag & INPCK);
    s.Parity = 5;
    EXPECT_FALSE(host::line_settings_to_termios(s, t));
    EXPECT_EQ(host::speed_to_termios_constant(250000), 0u);
    EXPECT_EQ(host::termios_constant_to_speed(B9600), 9600u);
}

TEST(SerialPortTransfer, HangUpFailsTransfersAndReportsADeviceError)
{
    PseudoTerminal pty;
    SerialPort port = open_port(pty.slave_path());
    port.set_timeouts(100, 100);
    EXPECT_EQ(port.take_errors(), 0u);
    pty.hang_up();
    std::uint8_t byte = 0;
    auto got = port.read(&byte, 1);
    EXPECT_NE(got.error, 0);
    EXPECT_EQ(got.count, 0u);
    EXPECT_TRUE(port.hung_up());
    EXPECT_EQ(port.take_errors(), host::serial_error_bit::DeviceIo);
    EXPECT_EQ(port.take_errors(), host::serial_error_bit::DeviceIo) << "a hung-up line stays in error";
    EXPECT_EQ(port.wait_for_input(1ms), host::SerialWait::HungUp);
    EXPECT_EQ(port.receive_count(), 0);
    const std::uint8_t out = 'x';
    EXPECT_NE(port.write(&out, 1).error, 0);
}

TEST(SerialPortMap, OptionsComeBeforeTheSettingsFileWhichComesBeforeTheDefault)
{
    host::SerialPortMap map([](std::string_view key) -> std::optional<std::string> {
        if (key == "COM2")
            return "/dev/ttyUSB0";
        if (key == "COM1:")
            return "19200";
        if (key == "COM2:")
            return "fast";
        return std::nullopt;
    });
    EXPECT_EQ(map.path_for(1), "/dev/ttyS0");
    EXPECT_EQ(map.path_for(2), "/dev/ttyUSB0");
    EXPECT_EQ(map.path_for(5), "/dev/ttyS4");
    map.assign(2, "/dev/pts/9");
    EXPECT_EQ(map.path_for(2), "/dev/pts/9");
    EXPECT_EQ(map.profile_integer("COM1:", 9600), 19200);
    EXPECT_EQ(map.profile_integer("COM2:", 9600), 9600);
    EXPECT_EQ(map.profile_integer("COM3:", 9600), 9600);
}

TEST(SerialPortMap, AnUnnumberedPathStandsForEveryPortWithoutItsOwn)
{
    host::SerialPortMap map([](std::string_view key) -> std::optional<std::string> {
        if (key == "COM1")
            return "/dev/ttyUSB7";
        return std::nullopt;
    });
    map.assign(2, "/dev/pts/3");
    map.assign_unnumbered("/dev/ttyACM0");
    EXPECT_EQ(map.path_for(1), "/dev/ttyACM0");  // ahead of the settings file
    EXPECT_EQ(map.path_for(2), "/dev/pts/3");
    EXPECT_EQ(map.path_for(4), "/dev/ttyACM0");
}
