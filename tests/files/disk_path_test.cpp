// Disk names on the host: drive numbers and letters, case-insensitive lookup, patterns.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "runtime/files/disk_path.h"
#include "runtime/files/name_pattern.h"
#include "tests/support/scratch_directory.h"

namespace {

TEST(DiskPath, DriveNumbers)
{
    EXPECT_EQ(rt::apply_drive_number("0:DATA.TXT"), "A:DATA.TXT");
    EXPECT_EQ(rt::apply_drive_number("1:LOG.DAT"), "B:LOG.DAT");
    EXPECT_EQ(rt::apply_drive_number("25:X"), "Z:X");
    EXPECT_EQ(rt::apply_drive_number("26:X"), "26:X");
    EXPECT_EQ(rt::apply_drive_number("123:X"), "123:X");
    EXPECT_EQ(rt::apply_drive_number("1A:X"), "1A:X");
}

TEST(DiskPath, HostNames)
{
    EXPECT_EQ(rt::host_name("0:DATA.TXT"), "DATA.TXT");
    EXPECT_EQ(rt::host_name("c:\\LOGS\\A.DAS"), "LOGS/A.DAS");
    EXPECT_EQ(rt::host_name("\\tmp\\A.DAS"), "/tmp/A.DAS");
    EXPECT_EQ(rt::host_name("26:X"), "26:X");
    // 0x5C as the second byte of a double-byte character stays.
    EXPECT_EQ(rt::host_name("\x95\x5C.DAT"), "\x95\x5C.DAT");
}

class InTempDirectory : public ::testing::Test {
protected:
    qk_test::CurrentScratchDirectory temp_{"qk-files"};
    const std::filesystem::path& dir_ = temp_.path();
};

TEST_F(InTempDirectory, ExistingFileFoundWithoutRegardToCase)
{
    std::ofstream("MOTOR.DAT") << "x";
    EXPECT_EQ(rt::resolve_disk_path("motor.dat"), (dir_ / "MOTOR.DAT").string());
    EXPECT_EQ(rt::resolve_disk_path("A:Motor.Dat"), (dir_ / "MOTOR.DAT").string());
    // A name that matches nothing keeps its own spelling.
    EXPECT_EQ(rt::resolve_disk_path("new.das"), (dir_ / "new.das").string());
    EXPECT_EQ(rt::resolve_disk_path("./sub/../x"), (dir_ / "x").string());
}

TEST(NamePattern, WildcardsAndCase)
{
    EXPECT_TRUE(rt::matches_name_pattern("*.DAT", "motor.dat"));
    EXPECT_TRUE(rt::matches_name_pattern("*.DAT", ".DAT"));
    EXPECT_FALSE(rt::matches_name_pattern("*.DAT", "motor.das"));
    EXPECT_FALSE(rt::matches_name_pattern("*.DAT", "motor.dat.bak"));
    EXPECT_TRUE(rt::matches_name_pattern("M?TOR.*", "MOTOR.DAT"));
    EXPECT_TRUE(rt::matches_name_pattern("*.*", "README"));
    EXPECT_TRUE(rt::matches_name_pattern("*a*b*", "xxaxxbxx"));
    EXPECT_FALSE(rt::matches_name_pattern("*a*b", "xxaxxbxx"));
    // "?" takes a whole double-byte character.
    EXPECT_TRUE(rt::matches_name_pattern("?.DAT", "\x88\x9F.DAT"));
    EXPECT_FALSE(rt::matches_name_pattern("??.DAT", "\x88\x9F.DAT"));
}

TEST(NamePattern, SecondByteOfDoubleByteCharacterKeepsItsCase)
{
    EXPECT_TRUE(rt::same_file_name("abc", "ABC"));
    // 0x83 0x61 and 0x83 0x41 are different characters.
    EXPECT_FALSE(rt::same_file_name("\x83\x61", "\x83\x41"));
}

}  // namespace
