// Network port paths: which paths are network ports, and the HOST:PORT they
// name; other tools' options after '?' are ignored, anything else malformed
// is refused rather than guessed at.
#include <gtest/gtest.h>

#include "host/network_port.h"

namespace {

using host::NetworkPortKind;
using host::parse_network_port_path;

TEST(NetworkPortAddress, BothSchemesInAnyCaseWithNamesAndAddresses)
{
    auto a = parse_network_port_path("rfc2217://rack1:3001");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->kind, NetworkPortKind::Rfc2217);
    EXPECT_EQ(a->host, "rack1");
    EXPECT_EQ(a->port, "3001");
    a = parse_network_port_path("SOCKET://192.168.1.20:4000");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->kind, NetworkPortKind::RawTcp);
    EXPECT_EQ(a->host, "192.168.1.20");
    a = parse_network_port_path("socket://[fe80::1]:4000");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->host, "fe80::1");
    EXPECT_EQ(a->port, "4000");
    // Other tools' options after '?' are taken and ignored.
    a = parse_network_port_path("rfc2217://rack1:3001?ign_set_control&timeout=3");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->port, "3001");
    EXPECT_TRUE(host::is_network_port_path("Rfc2217://x"));
    EXPECT_FALSE(host::is_network_port_path("/dev/ttyUSB0"));
    EXPECT_FALSE(host::is_network_port_path("rfc2217:/rack1:3001"));
}

TEST(NetworkPortAddress, MalformedAddressesAreRefused)
{
    for (const char* path : {"rfc2217://", "rfc2217://rack1", "rfc2217://rack1:", "rfc2217://:3001",
                             "socket://fe80::1:4000", "socket://[fe80::1]4000", "rfc2217://rack1:3001/x",
                             "socket://rack 1:4000", "/dev/ttyUSB0"})
        EXPECT_FALSE(parse_network_port_path(path)) << path;
}

}  // namespace
