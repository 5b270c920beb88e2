// The ports a "not found" report lists, and the group a "permission denied"
// report asks the user to join.
#include <gtest/gtest.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <fstream>

#include "host/serial_port_diagnosis.h"
#include "tests/files/temp_directory.h"

namespace {

namespace fs = std::filesystem;

void touch(const fs::path& path, const std::string& text = "")
{
    if (path.has_parent_path())
        fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

TEST(SerialPortDiagnosis, PresentPortsByKindAndOnlyTtySWithAUart)
{
    files_test::TempDirectory root;
    touch("dev/serial/by-id/usb-Board_1234-if00-port0");
    touch("dev/ttyUSB1");
    touch("dev/ttyUSB0");
    touch("dev/ttyACM0");
    touch("dev/ttyS0");
    touch("dev/ttyS1");
    touch("dev/ttyS2");
    touch("dev/tty0");
    touch("sys/class/tty/ttyS0/type", "4\n");
    touch("sys/class/tty/ttyS1/type", "0\n");  // no UART behind it
    const std::string dev = (root.path() / "dev").string();
    EXPECT_EQ(host::present_serial_ports(dev, (root.path() / "sys").string()),
              (std::vector<std::string>{dev + "/serial/by-id/usb-Board_1234-if00-port0", dev + "/ttyUSB0",
                                        dev + "/ttyUSB1", dev + "/ttyACM0", dev + "/ttyS0"}));
    EXPECT_TRUE(host::present_serial_ports((root.path() / "none").string(), "/nonexistent").empty());
}

TEST(SerialPortDiagnosis, MissingDeviceGroupNamesAGroupTheUserLacks)
{
    files_test::TempDirectory root;
    touch("own");
    ::chmod("own", 0660);
    EXPECT_EQ(host::missing_device_group("own"), std::nullopt) << "the file's group is the user's own";
    EXPECT_EQ(host::missing_device_group("missing"), std::nullopt);

    const group* dialout = ::getgrnam("dialout");
    touch("port");
    if (!dialout || ::chown("port", ::geteuid(), dialout->gr_gid) != 0)
        GTEST_SKIP() << "needs a dialout group and the right to give a file to it";
    ::chmod("port", 0660);
    const bool member = ::getegid() == dialout->gr_gid || [&] {
        gid_t groups[256];
        const int n = ::getgroups(256, groups);
        return std::find(groups, groups + std::max(n, 0), dialout->gr_gid) != groups + std::max(n, 0);
    }();
    EXPECT_EQ(host::missing_device_group("port"), member ? std::nullopt : std::optional<std::string>("dialout"));
    ::chmod("port", 0600);
    EXPECT_EQ(host::missing_device_group("port"), std::nullopt) << "the group may not use it anyway";
}

}  // namespace
