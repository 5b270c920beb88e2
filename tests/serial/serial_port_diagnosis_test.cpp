// The group a "permission denied" report on a serial port asks the user to join.
#include <gtest/gtest.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <string>

#include "host/serial_port_diagnosis.h"
#include "tests/support/scratch_directory.h"

namespace {

TEST(SerialPortDiagnosis, MissingDeviceGroupNamesAGroupTheUserLacks)
{
    qk_test::ScratchDirectory root("qk-diagnosis");
    root.write("own", "");
    const std::string own = (root.path() / "own").string();
    ::chmod(own.c_str(), 0660);
    EXPECT_EQ(host::missing_device_group(own), std::nullopt) << "the file's group is the user's own";
    EXPECT_EQ(host::missing_device_group((root.path() / "missing").string()), std::nullopt);

    const group* dialout = ::getgrnam("dialout");
    root.write("port", "");
    const std::string port = (root.path() / "port").string();
    if (!dialout || ::chown(port.c_str(), ::geteuid(), dialout->gr_gid) != 0)
        GTEST_SKIP() << "needs a dialout group and the right to give a file to it";
    ::chmod(port.c_str(), 0660);
    gid_t groups[256];
    const int count = std::max(::getgroups(256, groups), 0);
    const bool member = ::getegid() == dialout->gr_gid || std::find(groups, groups + count, dialout->gr_gid) != groups + count;
    EXPECT_EQ(host::missing_device_group(port), member ? std::nullopt : std::optional<std::string>("dialout"));
    ::chmod(port.c_str(), 0600);
    EXPECT_EQ(host::missing_device_group(port), std::nullopt) << "the group may not use it anyway";
}

}  // namespace
