// Directory search slots: the listing, its states and the entry texts.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>

#include <algorithm>
#include <ctime>
#include <vector>

#include "tests/files/files_fixture.h"
#include "runtime/files/directory_search.h"
#include "runtime/core/error.h"
#include "runtime/files/file_sites.h"

namespace files_test {
namespace {

class DirectorySearchTest : public FilesTest {
protected:
    std::string info(std::int16_t number, std::int16_t item)
    {
        rt::DIR_INFO(number, item);
        return popped_string();
    }
    std::vector<std::string> list(std::string_view pattern)
    {
        rt::push_temp(pattern);
        rt::DIR_OPEN(1);
        std::vector<std::string> names;
        for (;;) {
            rt::DIR_NEXT(1);
            if (rt::DIR_EOF(1) == rt::kTrue)
                break;
            names.push_back(info(1, 0));
        }
        rt::DIR_CLOSE(1);
        std::sort(names.begin(), names.end());
        return names;
    }
};

using Names = std::vector<std::string>;

TEST_F(DirectorySearchTest, PatternMatchesWithoutRegardToCase)
{
    write_file("MOTOR.DAT", "1");
    write_file("pump.dat", "2");
    write_file("LOG.DAS", "3");
    std::filesystem::create_directory("SUB.DAT");
    write_file("SUB.DAT/INNER.DAT", "4");
    EXPECT_EQ(list("*.DAT"), (Names{"MOTOR.DAT", "SUB.DAT", "pump.dat"}));
    EXPECT_EQ(list("SUB.DAT\\*.dat"), (Names{"INNER.DAT"}));
    EXPECT_EQ(list("A:*.DAS"), (Names{"LOG.DAS"}));
    EXPECT_EQ(list("NOWHERE/*.DAT"), Names{});
}

TEST_F(DirectorySearchTest, StatesAndTheirErrors)
{
    rt::push_temp("*.DAT");
    rt::DIR_OPEN(2);
    EXPECT_EQ(error_of([] { rt::DIR_EOF(2); }), rt::err::kIllegalArgument);  // not started
    EXPECT_EQ(info(2, 0), "");
    rt::DIR_NEXT(2);
    EXPECT_EQ(rt::DIR_EOF(2), rt::kTrue);  // nothing matches
    EXPECT_EQ(raised_by([] { rt::DIR_NEXT(2); }), (Raised{rt::err::kDeviceIoError, rt::file_site::kDirNext}));
    rt::push_temp("*");
    EXPECT_EQ(error_of([] { rt::DIR_OPEN(2); }), rt::err::kFileAlreadyOpen);
    rt::DIR_CLOSE(2);
    rt::DIR_CLOSE(2);  // closing a closed slot is harmless
    EXPECT_EQ(error_of([] { rt::DIR_NEXT(2); }), rt::err::kFileNotOpen);
    EXPECT_EQ(error_of([] { rt::DIR_EOF(2); }), rt::err::kFileNotOpen);

    for (std::int16_t bad : {0, 17}) {
        EXPECT_EQ(error_of([&] { rt::DIR_NEXT(bad); }), rt::err::kBadFileNumber);
        EXPECT_EQ(error_of([&] { rt::DIR_CLOSE(bad); }), rt::err::kBadFileNumber);
    }
    // The pattern length and the item are checked before the number.
    rt::push_temp(std::string(261, '*'));
    EXPECT_EQ(error_of([] { rt::DIR_OPEN(0); }), rt::err::kIllegalArgument);
    EXPECT_EQ(error_of([] { rt::DIR_INFO(0, 5); }), rt::err::kIllegalArgument);
    EXPECT_EQ(error_of([] { rt::DIR_INFO(3, 0); }), rt::err::kFileNotOpen);
}

TEST_F(DirectorySearchTest, EntryTexts)
{
    write_file("W.DAT", "12345");
    std::tm when{};
    when.tm_year = 2002 - 1900;
    when.tm_mon = 3;
    when.tm_mday = 26;
    when.tm_hour = 13;
    when.tm_min = 5;
    when.tm_sec = 9;
    when.tm_isdst = -1;
    const utimbuf times{std::mktime(&when), std::mktime(&when)};
    ASSERT_EQ(::utime("W.DAT", &times), 0);
    ::chmod("W.DAT", 0444);

    rt::push_temp("w.dat");
    rt::DIR_OPEN(16);
    rt::DIR_NEXT(16);
    ASSERT_EQ(rt::DIR_EOF(16), rt::kFalse);
    EXPECT_EQ(info(16, 0), "W.DAT");
    EXPECT_EQ(info(16, 1), "5");
    EXPECT_EQ(info(16, 2), "2002/04/26");
    EXPECT_EQ(info(16, 3), "13:05:09");
    EXPECT_EQ(info(16, 4), "-RA");
    rt::DIR_CLOSE(16);

    rt::DirectoryEntry directory;
    directory.is_directory = true;
    directory.size = 4096;
    EXPECT_EQ(rt::directory_entry_text(directory, 1), "0");
    EXPECT_EQ(rt::directory_entry_text(directory, 4), "D--");
}

TEST_F(DirectorySearchTest, TerminationEndsOpenSearches)
{
    write_file("A.DAT", "");
    rt::push_temp("*.DAT");
    rt::DIR_OPEN(1);
    rt::DIR_NEXT(1);
    table().on_terminate();
    EXPECT_EQ(error_of([] { rt::DIR_NEXT(1); }), rt::err::kFileNotOpen);
}

}  // namespace
}  // namespace files_test
