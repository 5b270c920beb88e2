// Serial channels over real pseudo-terminals: the open with its computed
// line settings, mode rules, sharing and errors; transfers in plain and shift
// mode; receive counts; line reads; the reader thread; faults on the line.
#include <gtest/gtest.h>

#include <termios.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <optional>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include "host/serial_port.h"
#include "tests/serial/pseudo_terminal.h"
#include "runtime/core/error.h"
#include "runtime/serial/serial_device.h"

using namespace std::chrono_literals;
using rt::SerialDevice;
using serial_test::PseudoTerminal;

namespace {

// A channel 0 whose system port COM1 is the slave side of a pseudo-terminal.
struct Channel {
    PseudoTerminal pty;
    std::shared_ptr<rt::SerialConfig> config;
    std::atomic<int> pumps{0};
    std::atomic<int> arrivals{0};
    std::atomic<int> last_event{0};
    std::unique_ptr<SerialDevice> device;

    explicit Channel(rt::ProgramOptions options = {})
        : config(std::make_shared<rt::SerialConfig>(options))
    {
        config->ports.assign(1, pty.slave_path());
        config->pump_step = [this] { ++pumps; };
        config->raise_event = [this](int event) {
            last_event = event;
            ++arrivals;
        };
        device = std::make_unique<SerialDevice>(0, config);
    }
    SerialDevice& dev() { return *device; }

    void set_speed_9600()
    {
        config->speed_code[0] = rt::kSpeedCodeFromTable;
        config->speed_table[0] = 9600;
    }
    std::uint16_t open(int mode, std::string_view options) { return device->open(mode, options).error; }

    std::string write(std::string_view bytes)
    {
        std::uint16_t error = 0;
        EXPECT_TRUE(device->write_bytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), error))
            << error;
        return pty.receive(bytes.size() * 2, 300ms);
    }
    // Reads one byte; returns the error number (0 on success).
    std::uint16_t read(std::uint8_t& byte)
    {
        std::uint16_t error = 0;
        device->read_byte(byte, error);
        return error;
    }
    // Waits until `count` bytes are in the receive queue.
    bool wait_count(std::int32_t count)
    {
        const auto deadline = std::chrono::steady_clock::now() + 2s;
        while (std::chrono::steady_clock::now() < deadline)
            if (device->receive_count() >= count)
                return true;
        return false;
    }
};

template <class Predicate>
bool eventually(Predicate p)
{
    const auto deadline = std::chrono::steady_clock::now() + 3s;
    while (!p()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

bool path_is_free(const std::string& path)
{
    int error = 0;
    return host::SerialPort::open(path, error).has_value();
}

}  // namespace

TEST(SerialOpen, MonitorSpecificationAfterSpeed9600ComputesTheLineSettings)
{
    Channel c;
    c.set_speed_9600();
    ASSERT_EQ(c.open(6, "s8n1n8,RB8192"), 0);
    SerialDevice& d = c.dev();
    const host::SerialLineSettings& s = d.line_settings();
    EXPECT_EQ(s.BaudRate, 9600u);
    EXPECT_EQ(s.ByteSize, 8);
    EXPECT_EQ(s.Parity, host::serial_parity::kNone);
    EXPECT_TRUE(s.fParity) << "the letter N still switches parity checking on";
    EXPECT_TRUE(d.parity_check());
    EXPECT_EQ(s.StopBits, host::serial_stop_bits::kOne);
    EXPECT_FALSE(s.fOutX);
    EXPECT_FALSE(s.fInX);
    EXPECT_EQ(s.fRtsControl, host::serial_control::kEnable);
    EXPECT_FALSE(s.fOutxCtsFlow);
    EXPECT_EQ(s.fDtrControl, host::serial_control::kEnable);
    EXPECT_FALSE(s.fOutxDsrFlow);
    EXPECT_EQ(s.XonLim, 2048);
    EXPECT_EQ(s.XoffLim, 2048);
    EXPECT_TRUE(s.fBinary);
    EXPECT_FALSE(s.fNull);
    EXPECT_FALSE(d.shift_mode());
    EXPECT_EQ(d.open_kind(), rt::serial_kind::kBoth);
    EXPECT_FALSE(d.is_shared());
    ASSERT_NE(d.port(), nullptr);
    EXPECT_EQ(d.port()->receive_queue_request(), 8192u);
    EXPECT_EQ(d.port()->transmit_queue_request(), 2048u);
    EXPECT_EQ(d.port()->read_timeout_ms(), 100u);
    EXPECT_EQ(d.port()->write_timeout_ms(), 100u);
    EXPECT_EQ(d.receive_timeout(), 0u);
    EXPECT_EQ(d.send_timeout(), 0u);
    EXPECT_EQ(d.port()->read_settings(), s) << "the port holds what the open computed";
    EXPECT_TRUE(d.reader_running());
    EXPECT_FALSE(path_is_free(c.pty.slave_path()));
    d.close();
    EXPECT_EQ(d.open_kind(), rt::serial_kind::kClosed);
    EXPECT_EQ(d.port(), nullptr);
    EXPECT_TRUE(path_is_free(c.pty.slave_path()));
}

TEST(SerialOpen, SevenBitFormatsChooseThePlainOrTheShiftRoutines)
{
    Channel plain;
    ASSERT_EQ(plain.open(6, "s7n1n7,RB8192"), 0);
    EXPECT_EQ(plain.dev().line_settings().ByteSize, 7);
    EXPECT_FALSE(plain.dev().shift_mode());
    Channel shift;
    ASSERT_EQ(shift.open(6, "S7N1N8"), 0);
    EXPECT_TRUE(shift.dev().shift_mode());
    EXPECT_EQ(shift.dev().write_shift_state(), 0);
    EXPECT_EQ(shift.dev().read_shift_state(), 0);
}

TEST(SerialOpen, WithoutSpeedOrFormatTheProgramDefaultsApply)
{
    Channel c;
    ASSERT_EQ(c.open(6, ""), 0);
    const auto& s = c.dev().line_settings();
    EXPECT_EQ(s.BaudRate, 1200u);
    EXPECT_EQ(s.ByteSize, 8);
    EXPECT_EQ(s.Parity, 0);
    EXPECT_EQ(s.StopBits, host::serial_stop_bits::kTwo);
    EXPECT_TRUE(s.fOutX && s.fInX);
    EXPECT_EQ(s.XonChar, 0x11);
    EXPECT_EQ(s.XoffChar, 0x13);
    EXPECT_EQ(s.XonLim, 512);
}

TEST(SerialOpen, ModeRulesAndSharingBetweenTwoFileNumbers)
{
    Channel c;
    SerialDevice& d = c.dev();
    EXPECT_EQ(c.open(3, "S8N1N8"), 51);
    EXPECT_EQ(c.open(0, "S8N1N8"), 51);
    EXPECT_TRUE(path_is_free(c.pty.slave_path())) << "a refused mode never touches the port";

    ASSERT_EQ(c.open(1, "S8N1N8"), 0);  // input as #1
    EXPECT_EQ(d.open_kind(), rt::serial_kind::kInput);
    EXPECT_EQ(c.open(1, "S8N1N8"), 59);
    ASSERT_EQ(c.open(2, "this text is not looked at"), 0);  // output as #2 shares the port
    EXPECT_EQ(d.open_kind(), rt::serial_kind::kBoth);
    EXPECT_TRUE(d.is_shared());
    EXPECT_EQ(d.state()->mode_word, -1);

    d.close();  // #1: the channel stays open for #2
    EXPECT_FALSE(d.is_shared());
    ASSERT_TRUE(d.is_open());
    EXPECT_EQ(c.write("OK"), "OK");
    d.close();  // #2: the port is released
    EXPECT_FALSE(d.is_open());
    EXPECT_TRUE(path_is_free(c.pty.slave_path()));

    ASSERT_EQ(c.open(6, "S8N1N8"), 0);
    EXPECT_EQ(c.open(6, "S8N1N8"), 59);
    EXPECT_EQ(c.open(2, "S8N1N8"), 59);
    EXPECT_TRUE(d.is_open()) << "the refused open leaves the first intact";
    EXPECT_EQ(c.write("A"), "A");
}

TEST(SerialOpen, RefusedFormatsFailWithFiveAndReleaseThePort)
{
    for (const char* bad : {"S9N1", "S8N1Q", "S8N1N8NNNABC"}) {
        Channel c;
        EXPECT_EQ(c.open(6, bad), 5) << bad;
        EXPECT_FALSE(c.dev().is_open());
        EXPECT_EQ(c.dev().open_kind(), rt::serial_kind::kClosed);
        EXPECT_TRUE(path_is_free(c.pty.slave_path()));
        EXPECT_EQ(c.open(6, "S8N1N8"), 0) << "open again succeeds once the cause is gone";
    }
}

TEST(SerialOpen, AbsentOrHeldPortIsError60WithItsOwnSite)
{
    Channel c;
    c.config->ports.assign(1, "/dev/no-such-serial-port");
    auto absent = c.dev().open(6, "S8N1N8");
    EXPECT_EQ(absent.error, 60);
    EXPECT_EQ(absent.site, 0x1301);

    Channel held;
    int error = 0;
    auto other = host::SerialPort::open(held.pty.slave_path(), error);
    ASSERT_TRUE(other);
    auto busy = held.dev().open(6, "S8N1N8");
    EXPECT_EQ(busy.error, 60);
    EXPECT_EQ(busy.site, 0x1301);
    EXPECT_EQ(held.dev().open_kind(), rt::serial_kind::kClosed);
    other.reset();
    EXPECT_EQ(held.open(6, "S8N1N8"), 0);
}

TEST(SerialOpen, ModemLineWaitFailsWith78AndReleasesThePort)
{
    Channel c;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(c.open(6, "S8N1N8,CS300"), 78);  // a pty never shows CTS
    EXPECT_GE(std::chrono::steady_clock::now() - start, 250ms) << "the open waited for the line";
    EXPECT_FALSE(c.dev().is_open());
    EXPECT_TRUE(path_is_free(c.pty.slave_path()));
    EXPECT_EQ(c.open(6, "S8N1N8,DS50,CS100000"), 78) << "the smaller limit counts";
    EXPECT_EQ(c.open(6, "S8N1N8"), 0);
}

TEST(SerialOpen, DeviceAccessDisabledIs90)
{
    rt::ProgramOptions options;
    options.device_access_disabled = true;
    Channel c(options);
    EXPECT_EQ(c.open(6, "S8N1N8"), 90);
    EXPECT_TRUE(path_is_free(c.pty.slave_path()));
}

TEST(SerialOpen, SpeedChangeOfAnOpenPortKeepsTheOtherSettings)
{
    Channel c;
    ASSERT_EQ(c.open(6, "S7E1N7"), 0);
    ASSERT_TRUE(c.dev().set_speed(9600));
    EXPECT_EQ(c.dev().line_settings().BaudRate, 9600u);
    auto s = c.dev().port()->read_settings();
    ASSERT_TRUE(s);
    EXPECT_EQ(s->BaudRate, 9600u);
    EXPECT_EQ(s->ByteSize, 7);
    EXPECT_EQ(s->Parity, host::serial_parity::kEven);
    c.dev().close();
    EXPECT_FALSE(c.dev().set_speed(9600));
}

TEST(SerialTransfer, PlainWriteReadLocAndEof)
{
    Channel c;
    ASSERT_EQ(c.open(6, "S8N1N8,RB8192"), 0);
    EXPECT_EQ(c.write(std::string("0100\x10\x80\xFF", 7)), std::string("0100\x10\x80\xFF", 7));
    EXPECT_GT(c.pumps.load(), 0) << "a write runs the message pump step";

    EXPECT_EQ(c.dev().receive_count(), 0);
    c.pty.send(std::string("A\0B", 3));
    ASSERT_TRUE(c.wait_count(3));
    EXPECT_EQ(c.dev().loc(0), 3);
    EXPECT_FALSE(c.dev().eof(0));
    EXPECT_EQ(c.dev().read(3, 0), std::string("A\0B", 3));
    EXPECT_EQ(c.dev().loc(0), 0);
    EXPECT_TRUE(c.dev().eof(0));
    EXPECT_EQ(c.dev().read(0, 0), "");
}

TEST(SerialTransfer, ShiftModeWritesSoSiAroundEachRun)
{
    Channel c;
    ASSERT_EQ(c.open(6, "S7N1N8"), 0);
    EXPECT_EQ(c.write("\x41\xB1\x42"), "\x0F\x41\x0E\xB1\x0F\x42");
    EXPECT_EQ(c.dev().write_shift_state(), 0) << "the state returns to 0 after each write";
    EXPECT_EQ(c.write("\x41"), "\x0F\x41");

    rt::ProgramOptions keep;
    keep.keep_shift_state = true;
    Channel k(keep);
    ASSERT_EQ(k.open(6, "S7N1N8"), 0);
    EXPECT_EQ(k.write("\xB1"), "\x0E\xB1");
    EXPECT_EQ(k.write("\xB2\x41"), "\xB2\x0F\x41");
}

TEST(SerialTransfer, ShiftModeReadFollowsSoSiAndControlBytes)
{
    Channel c;
    ASSERT_EQ(c.open(6, "S7N1N8"), 0);
    c.pty.send("\x0E\x31\x0D\x32\x0E\x0F\x33");
    std::uint8_t b = 0;
    ASSERT_EQ(c.read(b), 0);
    EXPECT_EQ(b, 0xB1);
    EXPECT_EQ(c.dev().read_shift_state(), rt::kShiftOut);
    ASSERT_EQ(c.read(b), 0);
    EXPECT_EQ(b, 0x0D);
    EXPECT_EQ(c.dev().read_shift_state(), rt::kShiftIn);
    ASSERT_EQ(c.read(b), 0);
    EXPECT_EQ(b, 0x32);
    ASSERT_EQ(c.read(b), 0);
    EXPECT_EQ(b, 0x33) << "SO then SI: the last one counts";
}

TEST(SerialTransfer, ReceiveTimeOutGives78WithoutItTheReadWaitsAndPumps)
{
    Channel c;
    ASSERT_EQ(c.open(6, "S8N1N8,RD150"), 0);
    EXPECT_EQ(c.dev().receive_timeout(), 150u);
    std::uint8_t b = 0;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(c.read(b), 78);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 150ms);
    c.dev().close();

    ASSERT_EQ(c.open(6, "S8N1N8"), 0);
    std::jthread peer([&] {
        std::this_thread::sleep_for(350ms);
        c.pty.send("Z");
    });
    c.pumps = 0;
    ASSERT_EQ(c.read(b), 0);
    EXPECT_EQ(b, 'Z');
    EXPECT_GE(c.pumps.load(), 3) << "the wait runs a pump step between 100 ms attempts";
}

TEST(SerialTransfer, LineReadsEndAtCrAndSkipLf)
{
    Channel c;
    ASSERT_EQ(c.open(6, "S8N1N8"), 0);
    c.pty.send("OK\r\nNEXT\r\r");
    EXPECT_EQ(c.dev().read_line(0), "OK");
    EXPECT_EQ(c.dev().read_line(0), "NEXT");
    EXPECT_EQ(c.dev().read_line(0), "");

    std::string long_line(300, 'x');
    c.pty.send(long_line + "\rAFTER\r");
    std::string line;
    std::uint16_t error = 0;
    ASSERT_TRUE(c.dev().read_line(line, error));
    EXPECT_EQ(line, std::string(rt::kSerialLineCapacity, 'x'));
    ASSERT_TRUE(c.dev().read_line(line, error));
    EXPECT_EQ(line, "AFTER") << "the excess is dropped, the next line is intact";
}

TEST(SerialTransfer, FileOperationsRaise51ForTheWrongDirection)
{
    Channel in;
    ASSERT_EQ(in.open(1, "S8N1N8"), 0);
    try {
        in.dev().write("X", 0x1234);
        ADD_FAILURE() << "print to an input channel";
    } catch (const rt::RuntimeError& e) {
        EXPECT_EQ(e.number(), 51);
        EXPECT_EQ(e.site(), 0x1234);
    }
    EXPECT_EQ(in.pty.receive(1, 50ms), "");

    Channel out;
    ASSERT_EQ(out.open(2, "S8N1N8"), 0);
    for (auto op : {0, 1, 2}) {
        try {
            if (op == 0)
                out.dev().eof(rt::file_site::kEof);
            else if (op == 1)
                out.dev().read(1, rt::file_site::kEof);
            else
                out.dev().read_line(rt::file_site::kEof);
            ADD_FAILURE() << "input from an output channel, operation " << op;
        } catch (const rt::RuntimeError& e) {
            EXPECT_EQ(e.number(), 51);
            EXPECT_EQ(e.site(), 0x2F07);
        }
    }
    EXPECT_EQ(out.dev().loc(0), 0);
}

TEST(SerialReaderThread, RaisesTheArrivalEventAndEndsAtHangUp)
{
    Channel c;
    c.device = std::make_unique<SerialDevice>(0, c.config);
    ASSERT_EQ(c.open(6, "S8N1N8"), 0);
    EXPECT_EQ(c.arrivals.load(), 0);
    c.pty.send("1");
    ASSERT_TRUE(eventually([&] { return c.arrivals.load() >= 1; }));
    EXPECT_EQ(c.last_event.load(), 21);
    c.pty.send("2");
    ASSERT_TRUE(eventually([&] { return c.arrivals.load() >= 2; })) << "bytes left unread do not hide new ones";
    std::this_thread::sleep_for(50ms);
    const int settled = c.arrivals.load();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(c.arrivals.load(), settled) << "bytes left unread do not raise a stream of events";
    EXPECT_EQ(c.dev().receive_count(), 2);

    c.pty.hang_up();
    EXPECT_TRUE(eventually([&] { return !c.dev().reader_running(); }));
    c.dev().close();  // joins the ended thread
    EXPECT_FALSE(c.dev().is_open());
}

TEST(SerialReaderThread, WatchesForBytesOnlyWhileTheArrivalEventIsArmed)
{
    Channel c;
    std::atomic<bool> armed{false};
    c.config->event_armed = [&](int event) { return event == 21 && armed.load(); };
    c.device = std::make_unique<SerialDevice>(0, c.config);
    ASSERT_EQ(c.open(6, "S8N1N8"), 0);
    c.pty.send("1");
    ASSERT_TRUE(c.wait_count(1));
    EXPECT_EQ(c.arrivals.load(), 0) << "an unarmed event is not raised";
    armed = true;
    c.dev().arrival_event_armed();  // as arming the event tells the channel
    ASSERT_TRUE(eventually([&] { return c.arrivals.load() >= 1; })) << "a byte already waiting raises it once armed";
    c.pty.send("2");
    ASSERT_TRUE(eventually([&] { return c.arrivals.load() >= 2; }));
    armed = false;
    c.pty.hang_up();
    EXPECT_TRUE(eventually([&] { return !c.dev().reader_running(); })) << "a hang-up ends an idle reader too";
}

TEST(SerialFaults, NoiseAndA100KBurstAreReadCompletely)
{
    Channel c;
    ASSERT_EQ(c.open(6, "S8N1N8"), 0);
    std::string burst(100 * 1024, '\0');
    std::mt19937 random(7);
    for (char& ch : burst)
        ch = static_cast<char>(random());
    std::jthread peer([&] { c.pty.send(burst); });
    std::string got;
    got.reserve(burst.size());
    while (got.size() < burst.size()) {
        std::int32_t n = c.dev().loc(0);
        if (n > 0)
            got += c.dev().read(static_cast<std::uint32_t>(n), 0);
        else if (!c.dev().reader_running())
            break;
    }
    EXPECT_EQ(got.size(), burst.size());
    EXPECT_TRUE(got == burst);
    EXPECT_GT(c.arrivals.load(), 0);
}

TEST(SerialFaults, WithoutReconnectionHangUpMakesTransfersFailWithoutHangingOrSpinning)
{
    Channel c;
    c.config->reconnect = false;
    ASSERT_EQ(c.open(6, "S8N1N8"), 0);  // no RD: only the line error can end a read
    c.pty.send("Q");
    ASSERT_TRUE(c.wait_count(1));
    c.pty.hang_up();
    std::uint8_t b = 0;
    EXPECT_EQ(c.read(b), 0) << "a byte received before the hang-up is still read";
    EXPECT_EQ(b, 'Q');
    EXPECT_EQ(c.read(b), 53);
    EXPECT_EQ(c.read(b), 53) << "the line stays in error";
    std::uint16_t error = 0;
    EXPECT_FALSE(c.dev().write_bytes(reinterpret_cast<const std::uint8_t*>("x"), 1, error));
    EXPECT_EQ(error, 53);
    EXPECT_TRUE(eventually([&] { return !c.dev().reader_running(); }));

    // A hung-up line is polled at the pace of a silent one, never faster.
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 5000; ++i)
        EXPECT_EQ(c.dev().receive_count(), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 30ms);
    try {
        c.dev().read(1, 0x4A09);
        ADD_FAILURE() << "INPUT$ on a hung-up line";
    } catch (const rt::RuntimeError& e) {
        EXPECT_EQ(e.number(), 53);
        EXPECT_EQ(e.site(), 0x4A09);
    }
    c.dev().close();
    EXPECT_FALSE(c.dev().is_open());
}

TEST(SerialPollSlice, AnEmptyCheckReturnsAsSoonAsAByteArrives)
{
    Channel c;
    ASSERT_EQ(c.open(6, "S8N1N8"), 0);
    int empty = 0;
    while (c.dev().receive_count() == 0 && empty < 1000)
        ++empty;
    EXPECT_EQ(empty, 1000);
    std::jthread peer([&] {
        std::this_thread::sleep_for(20ms);
        c.pty.send("R");
    });
    std::int32_t count = 0;
    for (int i = 0; i < 1'000'000 && count == 0; ++i)
        count = c.dev().receive_count();
    EXPECT_EQ(count, 1);
}

TEST(SerialFaults, APeerThatStopsReadingEndsAWriteWith78OnlyWithASendTimeOut)
{
    Channel c;
    ASSERT_EQ(c.open(6, "S8N1N8,SD100"), 0);
    EXPECT_EQ(c.dev().send_timeout(), 100u);
    const std::string burst(1 << 20, 'w');  // far more than the pty buffers
    std::uint16_t error = 0;
    EXPECT_FALSE(c.dev().write_bytes(reinterpret_cast<const std::uint8_t*>(burst.data()), burst.size(), error));
    EXPECT_EQ(error, 78);
    EXPECT_FALSE(c.pty.receive(16, 100ms).empty()) << "what went out stays sent";

    Channel patient;
    ASSERT_EQ(patient.open(6, "S8N1N8"), 0);
    const std::string block(256 * 1024, 'p');
    std::atomic<bool> done{false};
    std::string received;
    std::jthread peer([&] {
        std::this_thread::sleep_for(300ms);  // the writer retries meanwhile
        received = patient.pty.receive(block.size(), 5s);
        done = true;
    });
    patient.pumps = 0;
    ASSERT_TRUE(patient.dev().write_bytes(reinterpret_cast<const std::uint8_t*>(block.data()), block.size(), error))
        << error;
    peer.join();
    EXPECT_EQ(received.size(), block.size());
    EXPECT_GE(patient.pumps.load(), 2) << "each retry runs a pump step";
}

TEST(SerialFaults, GarbageInShiftModeDeliversEveryByteButTheShiftCodes)
{
    Channel c;
    ASSERT_EQ(c.open(6, "S7N1N8,RD100"), 0);
    std::string garbage(4096, '\0');
    std::mt19937 random(11);
    for (char& ch : garbage)
        ch = static_cast<char>(random());
    std::jthread peer([&] { c.pty.send(garbage); });
    std::uint8_t state = 0;
    std::vector<std::uint8_t> want;
    for (char ch : garbage) {
        const auto b = static_cast<std::uint8_t>(ch);
        if (b == rt::kShiftOut || b == rt::kShiftIn) {
            state = b;
            continue;
        }
        if (b < 0x20)
            state = rt::kShiftIn;
        want.push_back(b < 0x20 ? b : (state == rt::kShiftOut ? std::uint8_t(b | 0x80) : b));
    }
    std::vector<std::uint8_t> got;
    std::uint8_t b = 0;
    std::uint16_t error = 0;
    while ((error = c.read(b)) == 0)
        got.push_back(b);
    EXPECT_EQ(error, 78) << "the read ends with the receive time-out once the line is quiet";
    EXPECT_EQ(got.size(), want.size());
    EXPECT_TRUE(got == want);
}

namespace {

// A port that can be pulled out and plugged in again: a symbolic link in a
// scratch directory to the slave side of a pseudo-terminal that the test
// closes and re-creates, as a USB adapter's by-id link comes and goes.
class PluggablePort {
public:
    PluggablePort()
    {
        char pattern[] = "/tmp/serial-plug-XXXXXX";
        if (!::mkdtemp(pattern))
            throw std::runtime_error("mkdtemp");
        directory_ = pattern;
        plug();
    }
    ~PluggablePort() { std::filesystem::remove_all(directory_); }

    std::string path() const { return (directory_ / "port").string(); }
    PseudoTerminal& peer() { return *peer_; }

    void unplug()
    {
        std::filesystem::remove(directory_ / "port");
        peer_.reset();
    }
    void plug()
    {
        peer_.emplace();
        std::filesystem::create_symlink(peer_->slave_path(), directory_ / "port");
    }

private:
    std::filesystem::path directory_;
    std::optional<PseudoTerminal> peer_;
};

}  // namespace

TEST(SerialReconnect, ALostLineIsSilentDropsWritesAndComesBackWithItsSettingsAndReader)
{
    PluggablePort port;
    Channel c;
    c.config->ports.assign(1, port.path());
    std::vector<std::pair<std::string, bool>> changes;
    c.config->line_changed = [&](int channel, const std::string& path, bool present) {
        EXPECT_EQ(channel, 0);
        changes.emplace_back(path, present);
    };
    c.set_speed_9600();
    ASSERT_EQ(c.open(6, "s8n1n8,RB8192"), 0);
    std::uint16_t error = 0;
    auto write = [&](std::string_view bytes) {
        return c.dev().write_bytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), error) &&
               error == 0;
    };
    ASSERT_TRUE(write("ab"));
    EXPECT_EQ(port.peer().receive(2), "ab");

    port.unplug();
    EXPECT_TRUE(eventually([&] { return c.dev().receive_count() == 0 && !c.dev().line_connected(); }));
    EXPECT_FALSE(c.dev().reader_running());
    EXPECT_TRUE(write("lost")) << "writes to a lost line are dropped, error " << error;
    EXPECT_EQ(c.dev().line_error(), 0);
    EXPECT_FALSE(c.dev().eof(0) == false);
    EXPECT_TRUE(c.dev().is_open());

    port.plug();
    EXPECT_TRUE(eventually([&] {
        (void)c.dev().receive_count();
        return c.dev().line_connected();
    }));
    EXPECT_FALSE(path_is_free(port.path())) << "the reopened port is held exclusively again";
    termios t{};
    ASSERT_EQ(tcgetattr(c.dev().port()->fd(), &t), 0);
    EXPECT_EQ(cfgetospeed(&t), B9600) << "the line settings are applied again";
    EXPECT_EQ(t.c_lflag & ICANON, 0u);

    const int arrivals = c.arrivals.load();
    ASSERT_TRUE(write("cd"));
    EXPECT_EQ(port.peer().receive(2), "cd") << "nothing dropped while gone reaches the new line";
    port.peer().send("y");
    EXPECT_TRUE(eventually([&] { return c.arrivals.load() > arrivals; })) << "a new reader watches the new line";
    std::uint8_t byte = 0;
    ASSERT_TRUE(c.wait_count(1));
    EXPECT_EQ(c.read(byte), 0);
    EXPECT_EQ(byte, 'y');
    EXPECT_EQ(changes, (std::vector<std::pair<std::string, bool>>{{port.path(), true}, {port.path(), false},
                                                                  {port.path(), true}}));

    // Closed and opened again while the line is gone (the monitors' Esc
    // restart): the open waits for the lost line instead of failing with 60.
    port.unplug();
    EXPECT_TRUE(eventually([&] { return c.dev().receive_count() == 0 && !c.dev().line_connected(); }));
    c.dev().close();
    EXPECT_FALSE(c.dev().is_open());
    ASSERT_EQ(c.open(6, "s8n1n8,RB8192"), 0);
    EXPECT_FALSE(c.dev().line_connected());
    port.plug();
    EXPECT_TRUE(eventually([&] {
        (void)c.dev().receive_count();
        return c.dev().line_connected();
    }));
    ASSERT_EQ(tcgetattr(c.dev().port()->fd(), &t), 0);
    EXPECT_EQ(cfgetospeed(&t), B9600) << "the settings of the open made while the line was gone";
    ASSERT_TRUE(write("ef"));
    EXPECT_EQ(port.peer().receive(2), "ef");
    c.dev().close();

    PluggablePort other;  // a port that was never there still fails the open
    c.config->ports.assign(1, other.path() + "-absent");
    EXPECT_EQ(c.open(6, "s8n1n8"), 60);
}

// A line lost while the count shows bytes: what arrived before the loss is
// still given, then the take gives nothing at once (a read would wait for a
// byte for ever), and the loss and the return are counted so a caller knows
// that what it asked before will not be answered.
TEST(SerialReconnect, TakingInputNeverWaitsAcrossALostLine)
{
    PluggablePort port;
    Channel c;
    c.config->ports.assign(1, port.path());
    c.set_speed_9600();
    ASSERT_EQ(c.open(6, "s8n1n8,RB8192"), 0);
    EXPECT_EQ(c.dev().line_changes(), 0u);
    port.peer().send("z");
    ASSERT_TRUE(c.wait_count(1));
    port.unplug();
    EXPECT_EQ(c.dev().receive_count(), 1) << "the count still shows the byte it read ahead";
    EXPECT_EQ(c.dev().take_input(4, 0), "z") << "bytes that came before the loss are still given";
    EXPECT_TRUE(eventually([&] {
        (void)c.dev().receive_count();
        return c.dev().line_changes() == 1;
    })) << "the loss";
    EXPECT_EQ(c.dev().take_input(1, 0), "");
    port.plug();
    EXPECT_TRUE(eventually([&] {
        (void)c.dev().receive_count();
        return c.dev().line_connected();
    }));
    EXPECT_EQ(c.dev().line_changes(), 2u) << "the loss and the return";
    port.peer().send("y");
    std::string taken;
    EXPECT_TRUE(eventually([&] {
        if (c.dev().receive_count() > 0)
            taken += c.dev().take_input(4, 0);
        return !taken.empty();
    }));
    EXPECT_EQ(taken, "y") << "bytes of the new line are taken as they come";
}
