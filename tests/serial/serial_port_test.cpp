// The host serial port over real pseudo-terminals, the port map and options,
// the wire trace, and the port list over a fake /dev and /sys tree.
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <sys/ioctl.h>

#include <gtest/gtest.h>
#include <termios.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "host/serial_port.h"
#include "host/session_terminal.h"
#include "host/serial_port_list.h"
#include "host/serial_port_map.h"
#include "host/serial_trace.h"
#include "tests/serial/pseudo_terminal.h"
#include "tests/support/port_holder.h"

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
    qk_test::PortHolder other(pty.slave_path());
    ASSERT_TRUE(other.holding());
    int error = 0;
    EXPECT_FALSE(SerialPort::open(pty.slave_path(), error));
    EXPECT_EQ(error, EWOULDBLOCK);
    other.release();
    EXPECT_TRUE(SerialPort::open(pty.slave_path(), error));
}

// A terminal some session holds as its controlling terminal (a shell's) is
// never a board's line: the open refuses it before writing anything.
TEST(SerialPortOpen, AnotherSessionsTerminalIsRefused)
{
    PseudoTerminal pty;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        ::setsid();
        const int fd = ::open(pty.slave_path().c_str(), O_RDWR);
        (void)::ioctl(fd, TIOCSCTTY, 0);
        (void)!::write(ready[1], "x", 1);
        ::pause();
        ::_exit(0);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    int error = 0;
    EXPECT_FALSE(SerialPort::open(pty.slave_path(), error));
    EXPECT_EQ(error, host::kSessionTerminalError);
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_TRUE(SerialPort::open(pty.slave_path(), error)) << "a plain pseudo-terminal opens";
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
    s.Parity = host::serial_parity::kEven;
    s.fParity = true;
    s.StopBits = host::serial_stop_bits::kTwo;
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
    s.fRtsControl = host::serial_control::kHandshake;
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

TEST(SerialPortTransfer, BytesReadAheadAreCountedTakenAndDroppedAndTheWaitReadEndsOnAByteOrSilence)
{
    PseudoTerminal pty;
    SerialPort port = open_port(pty.slave_path());
    port.set_timeouts(100, 100);
    pty.send("ABCD");
    ASSERT_EQ(port.wait_and_read_ahead(), host::SerialWait::Readable);
    pty.send("E");
    std::uint8_t byte = 0;
    while (port.receive_count() < 5) {
    }
    EXPECT_EQ(port.read(&byte, 1).count, 1u);
    EXPECT_EQ(byte, 'A');
    EXPECT_EQ(port.receive_count(), 4) << "held bytes and the driver's count as one queue";
    EXPECT_EQ(port.discard_input(2), "BC");
    EXPECT_EQ(port.discard_input(64), "DE");
    EXPECT_EQ(port.receive_count(), 0);

    EXPECT_EQ(port.wait_and_read_ahead(), host::SerialWait::TimedOut) << "a silent line: the read wait runs out";
    std::jthread peer([&] { pty.send("F"); });
    while (port.held() == 0)
        (void)port.wait_and_read_ahead();
    EXPECT_EQ(port.discard_input(64), "F");

    pty.send("G");
    while (port.receive_count() == 0) {
    }
    pty.hang_up();
    EXPECT_EQ(port.read(&byte, 1).count, 1u) << "a byte read ahead before the hang-up is still read";
    EXPECT_EQ(byte, 'G');
    EXPECT_EQ(port.wait_and_read_ahead(), host::SerialWait::HungUp);
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
    EXPECT_EQ(port.take_errors(), host::serial_error_bit::kDeviceIo);
    EXPECT_EQ(port.take_errors(), host::serial_error_bit::kDeviceIo) << "a hung-up line stays in error";
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

namespace {

// A scratch directory removed with everything in it.
class ScratchTree {
public:
    ScratchTree()
    {
        char pattern[] = "/tmp/serial-host-XXXXXX";
        if (!::mkdtemp(pattern))
            throw std::runtime_error("mkdtemp");
        root_ = pattern;
    }
    ~ScratchTree() { std::filesystem::remove_all(root_); }
    const std::filesystem::path& root() const { return root_; }

    std::filesystem::path file(const std::string& relative, const std::string& text = "") const
    {
        const std::filesystem::path path = root_ / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path) << text;
        return path;
    }
    void link(const std::string& relative, const std::filesystem::path& target) const
    {
        std::filesystem::create_directories((root_ / relative).parent_path());
        std::filesystem::create_directory_symlink(target, root_ / relative);
    }
    std::string read(const std::string& relative) const
    {
        std::ifstream in(root_ / relative);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::filesystem::path root_;
};

}  // namespace

TEST(SerialTrace, OneLinePerBurstWrittenAsSoonAsItIsComplete)
{
    using namespace std::chrono_literals;
    EXPECT_EQ(host::format_trace_line(1234567us, host::TraceDirection::Sent, "8000\x1f"),
              "      1234.567 TX 38 30 30 30 1F  |8000.|");
    EXPECT_EQ(host::format_trace_line(5ms, host::TraceDirection::Received, std::string("A\0\xff", 3)),
              "         5.000 RX 41 00 FF  |A..|");

    ScratchTree tree;
    const auto start = host::SerialTrace::Clock::now();
    host::SerialTrace trace((tree.root() / "wire.txt").string(), start);
    trace.sent("8000\x1f", start + 1ms);
    trace.received("00", start + 3ms);
    trace.received("FF\r", start + 5ms);  // within the burst gap: the same line
    trace.idle(start + 6ms);
    EXPECT_EQ(tree.read("wire.txt"), "         1.000 TX 38 30 30 30 1F  |8000.|\n") << "a burst still arriving waits";
    trace.idle(start + 5ms + host::kTraceBurstGap);
    trace.received("9", start + 40ms);
    trace.note("/dev/ttyUSB0 disconnected", start + 41ms);  // ends the burst before it
    // Everything is in the file while the trace is still open: a killed program loses nothing.
    EXPECT_EQ(tree.read("wire.txt"),
              "         1.000 TX 38 30 30 30 1F  |8000.|\n"
              "         3.000 RX 30 30 46 46 0D  |00FF.|\n"
              "        40.000 RX 39  |9|\n"
              "        41.000 -- /dev/ttyUSB0 disconnected\n");
    trace.received(std::string(host::kTraceBurstBytes + 1, 'x'), start + 50ms);
    const std::string text = tree.read("wire.txt");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5) << "a long burst is cut into lines";
}

TEST(SerialPortList, ByIdLinksFirstThenUartsUsbAndAcmPortsWithDriverDescriptionAndState)
{
    ScratchTree tree;
    const auto dev = tree.root() / "dev";
    const auto sys = tree.root() / "sys";
    for (const char* name : {"ttyS0", "ttyS1", "ttyS10", "ttyS2", "ttyUSB0", "ttyACM0", "tty0", "ttyprintk"})
        tree.file("dev/" + std::string(name));
    tree.file("sys/class/tty/ttyS0/type", "4\n");  // a 16550A
    tree.file("sys/class/tty/ttyS1/type", "0\n");  // no UART
    tree.file("sys/class/tty/ttyS2/type", "4\n");
    tree.file("sys/class/tty/ttyS10/type", "4\n");
    // ttyS0: the serial core's port device between the tty and the UART's driver.
    tree.file("sys/devices/pnp0/00:01/00:01:0/00:01:0.0/uevent");
    tree.link("sys/devices/pnp0/00:01/00:01:0/00:01:0.0/driver", sys / "bus/serial-base/drivers/port");
    tree.link("sys/devices/pnp0/00:01/driver", sys / "bus/pnp/drivers/serial");
    tree.link("sys/class/tty/ttyS0/device", sys / "devices/pnp0/00:01/00:01:0/00:01:0.0");
    // ttyUSB0: USB device 1-1, interface 1-1:1.0, usb-serial port ttyUSB0.
    const std::string usb = "sys/devices/pci0000:00/usb1/1-1";
    tree.file(usb + "/idVendor", "0403\n");
    tree.file(usb + "/idProduct", "6001\n");
    tree.file(usb + "/manufacturer", "FTDI\n");
    tree.file(usb + "/product", "FT232R USB UART\n");
    tree.file(usb + "/1-1:1.0/ttyUSB0/uevent");
    tree.link(usb + "/1-1:1.0/ttyUSB0/driver", sys / "bus/usb-serial/drivers/ftdi_sio");
    tree.link("sys/class/tty/ttyUSB0/device", tree.root() / usb / "1-1:1.0/ttyUSB0");
    // ttyACM0: the tty's device is the interface itself, which has a name.
    const std::string acm = "sys/devices/pci0000:00/usb1/1-2";
    tree.file(acm + "/idVendor", "2341\n");
    tree.file(acm + "/idProduct", "0043\n");
    tree.file(acm + "/product", "Uno\n");
    tree.file(acm + "/1-2:1.0/interface", "CDC Abstract Control Model\n");
    tree.link(acm + "/1-2:1.0/driver", sys / "bus/usb/drivers/cdc_acm");
    tree.link("sys/class/tty/ttyACM0/device", tree.root() / acm / "1-2:1.0");
    std::filesystem::create_directories(dev / "serial/by-id");
    std::filesystem::create_symlink("../../ttyUSB0", dev / "serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0");
    std::filesystem::create_symlink("../../ttyUSB9", dev / "serial/by-id/usb-gone-if00");  // its device is gone

    // ttyACM0 is locked by another process (flock), ttyS2 by a live process's lock file.
    struct stat acm_node{};
    ASSERT_EQ(::stat((dev / "ttyACM0").c_str(), &acm_node), 0);
    char lock_line[128];
    std::snprintf(lock_line, sizeof lock_line, "1: FLOCK  ADVISORY  WRITE 1 %02x:%02x:%llu 0 EOF\n",
                  major(acm_node.st_dev), minor(acm_node.st_dev), static_cast<unsigned long long>(acm_node.st_ino));
    tree.file("proc/locks", lock_line);
    tree.file("lock/LCK..ttyS2", "     " + std::to_string(::getpid()) + "\n");
    tree.file("lock/LCK..ttyS10", "999999999\n");  // a stale lock
    std::filesystem::permissions(dev / "ttyS10", std::filesystem::perms::none);

    host::SerialPortRoots roots{dev, sys, tree.root() / "proc/locks", {tree.root() / "lock"}};
    const std::vector<host::SerialPortEntry> ports = host::list_serial_ports(roots);
    std::vector<std::string> paths;
    for (const auto& port : ports)
        paths.push_back(port.path.substr(dev.string().size()));
    EXPECT_EQ(paths, (std::vector<std::string>{"/serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0", "/ttyS0",
                                               "/ttyS2", "/ttyS10", "/ttyUSB0", "/ttyACM0"}));
    ASSERT_EQ(ports.size(), 6u);
    EXPECT_EQ(ports[0].target, (dev / "ttyUSB0").string());
    EXPECT_EQ(ports[0].driver, "ftdi_sio");
    EXPECT_EQ(ports[1].driver, "serial");
    EXPECT_EQ(ports[1].description, "");
    EXPECT_TRUE(ports[2].held);
    EXPECT_FALSE(ports[3].held) << "a lock file of a process that is gone holds nothing";
    if (::geteuid() != 0) {
        EXPECT_FALSE(ports[3].accessible);
    }
    EXPECT_EQ(ports[4].description, "FTDI FT232R USB UART (0403:6001)");
    EXPECT_EQ(ports[5].driver, "cdc_acm");
    EXPECT_EQ(ports[5].description, "Uno, CDC Abstract Control Model (2341:0043)");
    EXPECT_TRUE(ports[5].held);

    std::vector<host::SerialPortEntry> shown = {ports[0], ports[1], ports[5]};
    shown[0].path = "/dev/serial/by-id/usb-FTDI-port0";
    shown[0].target = "/dev/ttyUSB0";
    shown[1].path = "/dev/ttyS0";
    shown[1].accessible = false;
    shown[2].path = "/dev/ttyACM0";
    EXPECT_EQ(host::format_serial_port_list(shown),
              "/dev/serial/by-id/usb-FTDI-port0 -> /dev/ttyUSB0  ftdi_sio  FTDI FT232R USB UART (0403:6001)\n"
              "/dev/ttyS0                                        serial    [no read/write access for this user]\n"
              "/dev/ttyACM0                                      cdc_acm   Uno, CDC Abstract Control Model (2341:0043)"
              "  [in use by another program]\n");
    EXPECT_EQ(host::format_serial_port_list({}), "No serial ports found.\n");
}
