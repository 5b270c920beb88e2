// Serial channels reached through OPEN, CLOSE and the device table of a
// running program, and COM_SET_PARAM.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "host/serial_port.h"
#include "tests/serial/pseudo_terminal.h"
#include "runtime/core/error.h"
#include "runtime/core/frame.h"
#include "runtime/core/frame_records.h"
#include "runtime/core/runtime.h"
#include "runtime/files/device_table.h"
#include "runtime/serial/serial_channels.h"
#include "runtime/serial/serial_device.h"
#include "tests/support/port_holder.h"
#include "tests/support/raised_error.h"
#include "tests/support/test_runtime.h"

using namespace std::chrono_literals;
using serial_test::PseudoTerminal;

namespace {

using qk_test::Raised;
using qk_test::raised_by;
bool path_is_free(const std::string& path)
{
    int error = 0;
    return host::SerialPort::open(path, error).has_value();
}

class SerialOpenTest : public ::testing::Test {
protected:
    SerialOpenTest()
    {
        host::SerialPortMap ports;
        ports.assign(1, pty_.slave_path());
        ports.assign(2, "/dev/no-such-serial-port");
        rt::install_serial_devices(runtime_, std::move(ports));
    }

    void open(std::string_view spec, std::int16_t mode, std::int32_t number, std::int16_t share = 3)
    {
        table_.open(spec, mode, share, number);
    }
    rt::SerialDevice& com0() { return dynamic_cast<rt::SerialDevice&>(*table_.device_at(rt::kFirstSerialSlot)); }

    PseudoTerminal pty_;
    qk_test::TestRuntime<> kit_;
    rt::Runtime& runtime_ = kit_.runtime();
    rt::DeviceTable& table_{runtime_.install(std::make_unique<rt::DeviceTable>(runtime_.options()))};
};

}  // namespace

TEST_F(SerialOpenTest, MonitorOpenAtNinetySixHundredInEitherCase)
{
    rt::COM_SET_PARAM(0, 9600);
    for (const char* spec : {"com0:(s8n1n8,RB8192)", "COM0:(S8N1N8,RB8192)", "com0:(s8n1n8,rb8192)"}) {
        open(spec, 6, 1);
        EXPECT_EQ(table_.slot_of(1), 10) << spec;
        EXPECT_EQ(com0().line_settings().BaudRate, 9600u);
        EXPECT_EQ(com0().port()->receive_queue_request(), 8192u);
        table_.open_device(1, 0).write("0100\x10", 0);
        EXPECT_EQ(pty_.receive(5), "0100\x10");
        table_.close(1);
        EXPECT_FALSE(com0().is_open());
    }
}

TEST_F(SerialOpenTest, BadSpecificationsFailAndLeaveTheNumberFree)
{
    for (const char* spec : {"com0:()", "com0:(s8n1n8", "com0:(S9N1)", "com0:(S8N1Q)"}) {
        EXPECT_EQ(raised_by([&] { open(spec, 6, 1); }).number, 5) << spec;
        EXPECT_EQ(table_.slot_of(1), -1);
    }
    EXPECT_TRUE(path_is_free(pty_.slave_path()));
    EXPECT_EQ(raised_by([&] { open("com0:(S8N1N8)", 7, 1); }).number, 51);
}

TEST_F(SerialOpenTest, AbsentAndHeldPortsRaise60AtTheirOwnSite)
{
    EXPECT_EQ(raised_by([&] { open("COM1:(S8N1N8)", 6, 1); }), (Raised{60, 0x1301}));
    EXPECT_EQ(table_.slot_of(1), -1);
    EXPECT_EQ(raised_by([&] { open("COM4:(S8N1N8)", 6, 1); }), (Raised{60, 0x1301})) << "/dev/ttyS4 by default";

    qk_test::PortHolder other(pty_.slave_path());
    ASSERT_TRUE(other.holding());
    EXPECT_EQ(raised_by([&] { open("COM0:(S8N1N8)", 6, 1); }), (Raised{60, 0x1301}));
    EXPECT_EQ(table_.slot_of(1), -1);
    other.release();
    open("COM0:(S8N1N8)", 6, 1);
    EXPECT_EQ(table_.slot_of(1), 10);
}

TEST_F(SerialOpenTest, InputAndOutputFileNumbersShareOnePort)
{
    open("com0:(S8N1N8)", 1, 1);
    open("com0:", 2, 2, 1);
    EXPECT_TRUE(com0().is_shared());
    EXPECT_EQ(raised_by([&] { open("com0:(S8N1N8)", 6, 3); }), (Raised{59, 0x2008}));
    EXPECT_EQ(table_.slot_of(3), -1);

    pty_.send("R");
    EXPECT_EQ(table_.open_device(1, 0).read(1, 0x4A09), "R");
    table_.close(1);
    ASSERT_TRUE(com0().is_open());
    table_.open_device(2, 0).write("W", 0);
    EXPECT_EQ(pty_.receive(1), "W");
    table_.close(2);
    EXPECT_FALSE(com0().is_open());
    EXPECT_TRUE(path_is_free(pty_.slave_path()));
}

TEST_F(SerialOpenTest, ComSetParamChecksAndChangesTheSpeed)
{
    EXPECT_EQ(raised_by([] { rt::COM_SET_PARAM(5, 9600); }), (Raised{5, 0x8F01}));
    EXPECT_EQ(raised_by([] { rt::COM_SET_PARAM(0, 0); }), (Raised{5, 0x8F03}));
    open("com0:(S8N1N8)", 6, 1);
    EXPECT_EQ(com0().line_settings().BaudRate, 1200u) << "speed code 2 of the option record";
    rt::COM_SET_PARAM(0, 19200);
    EXPECT_EQ(com0().port()->read_settings()->BaudRate, 19200u) << "the open port changes at once";
    table_.close(1);
    open("com0:(S8N1N8)", 6, 1);
    EXPECT_EQ(com0().line_settings().BaudRate, 19200u) << "and so does every later open";
}

TEST_F(SerialOpenTest, TerminationClosesTheChannelAndReleasesThePort)
{
    open("com0:(S8N1N8)", 6, 1);
    ASSERT_FALSE(path_is_free(pty_.slave_path()));
    runtime_.release_all();  // the device table and its devices are gone now
    EXPECT_TRUE(path_is_free(pty_.slave_path()));
}

TEST_F(SerialOpenTest, ArrivalRaisesTheChannelsEventWhenArmed)
{
    rt::EventTable& events = runtime_.frame().events;
    events.set_handler(rt::kEventSerial0, [] {});
    events.arm(rt::kEventSerial0);
    open("com0:(S8N1N8)", 6, 1);
    EXPECT_FALSE(events.flags(rt::kEventSerial0) & rt::EventTable::kPending);
    pty_.send("X");
    const auto deadline = std::chrono::steady_clock::now() + 3s;
    while (!(events.flags(rt::kEventSerial0) & rt::EventTable::kPending) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
    EXPECT_TRUE(events.flags(rt::kEventSerial0) & rt::EventTable::kPending);
    EXPECT_EQ(events.queued(), std::vector<int>{rt::kEventSerial0});
    EXPECT_FALSE(events.flags(rt::kEventSerial0 + 1) & rt::EventTable::kPending);
}
