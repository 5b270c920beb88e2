// OPEN and CLOSE through the device table: disk creation rules, text
// conventions, sharing, fixed devices and the serial registration hook.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sys/stat.h>

#include <cerrno>
#include <csignal>
#include <functional>
#include <utility>

#include "tests/files/files_fixture.h"
#include "runtime/files/disk_file.h"
#include "runtime/core/error.h"
#include "runtime/core/error_state.h"
#include "runtime/core/frame_records.h"
#include "runtime/files/file_sites.h"
#include "runtime/files/file_operations.h"

namespace files_test {
namespace {

using rt::err::kBadFileMode;

// A fixed device standing in for the console's keyboard or screen.
class FakeConsoleDevice final : public rt::Device {
public:
    FakeConsoleDevice(rt::DeviceClass kind, std::string name, int& opens) : kind_(kind), opens_(opens)
    {
        name_ = std::move(name);
    }
    rt::DeviceClass device_class() const noexcept override { return kind_; }
    void write(std::string_view bytes, std::uint16_t) override { written += bytes; }
    std::int32_t loc(std::uint16_t) override { return 0; }
    bool eof(std::uint16_t) override { return true; }
    std::string read(std::uint32_t, std::uint16_t site) override { rt::RAISE_ERROR(kBadFileMode, site); }
    void close() noexcept override {}
    void opened(std::int16_t) override { ++opens_; }
    std::string written;

private:
    rt::DeviceClass kind_;
    int& opens_;
};

using DeviceTableTest = FilesTest;

TEST_F(DeviceTableTest, OutputRefusesAnExistingFileUntilItIsKilled)
{
    write_file("LOG.DAS", "old");
    EXPECT_EQ(error_of([&] { open("LOG.DAS", 2, 1); }), rt::err::kFileExists);
    EXPECT_EQ(table().slot_of(1), -1);
    // A different spelling of an existing name is the same file.
    EXPECT_EQ(error_of([&] { open("log.das", 2, 1); }), rt::err::kFileExists);

    rt::push_temp("log.das");
    rt::KILL();
    open("LOG.DAS", 2, 1);
    EXPECT_EQ(table().slot_of(1), rt::kFirstDiskSlot);
    table().open_device(1, 0).write("NEW\r\n", 0);
    table().close(1);
    EXPECT_EQ(file_contents("LOG.DAS"), "NEW\r\n\x1A");
}

TEST_F(DeviceTableTest, AppendOverwritesTheTrailingEndMark)
{
    write_file("W.DAS", "OLD\r\n\x1A");
    open("W.DAS", 3, 2);
    auto& device = table().open_device(2, 0);
    EXPECT_EQ(device.state()->position, 5u);
    EXPECT_EQ(device.state()->length, 5u);
    device.write("A", 0);
    device.write("B", 0);
    rt::CLOSE({2});
    EXPECT_EQ(file_contents("W.DAS"), "OLD\r\nAB\x1A");

    // Appending without writing keeps exactly one end mark.
    open("W.DAS", 3, 2);
    rt::CLOSE();
    EXPECT_EQ(file_contents("W.DAS"), "OLD\r\nAB\x1A");
}

TEST_F(DeviceTableTest, AppendCreatesAMissingFileAndKeepsTextWithoutEndMark)
{
    open("NEW.DAS", 3, 1);
    table().open_device(1, 0).write("1\r\n", 0);
    table().close(1);
    write_file("PLAIN.TXT", "x");
    open("PLAIN.TXT", 3, 1);
    table().open_device(1, 0).write("y", 0);
    table().close(1);
    EXPECT_EQ(file_contents("NEW.DAS"), "1\r\n\x1A");
    EXPECT_EQ(file_contents("PLAIN.TXT"), "xy\x1A");
}

TEST_F(DeviceTableTest, TerminationClosesEveryFileWithItsEndMark)
{
    open("A.DAS", 2, 1);
    open("B.DAS", 3, 200);
    table().open_device(1, 0).write("a", 0);
    table().open_device(200, 0).write("b", 0);
    table().on_terminate();
    EXPECT_EQ(file_contents("A.DAS"), "a\x1A");
    EXPECT_EQ(file_contents("B.DAS"), "b\x1A");
    EXPECT_EQ(table().slot_of(1), -1);
    EXPECT_EQ(table().slot_of(200), -1);
}

TEST_F(DeviceTableTest, RecordLengthFromOptions)
{
    for (std::int16_t mode = 1; mode <= 3; ++mode) {
        EXPECT_EQ(error_of([&] { open("LOG(128).DAT", mode, 1); }), kBadFileMode) << mode;
        EXPECT_EQ(table().slot_of(1), -1);
    }
    write_file("LOG.DAT", "");
    for (std::int16_t mode = 4; mode <= 10; ++mode) {
        if (mode == 9)
            std::filesystem::remove("LOG.DAT");  // block write creates a new file
        open("LOG(128).DAT", mode, 1);
        EXPECT_EQ(table().open_device(1, 0).state()->record_length, 128) << mode;
        EXPECT_EQ(table().open_device(1, 0).state()->mode_word, mode);
        table().close(1);
    }
    EXPECT_FALSE(std::filesystem::exists("LOG(128).DAT"));
    EXPECT_EQ(error_of([&] { open("LOG(2049).DAT", 4, 1); }), rt::err::kIllegalArgument);
    open("LOG.DAT", 4, 1);
    EXPECT_EQ(table().open_device(1, 0).state()->record_length, 256);
}

TEST_F(DeviceTableTest, DriveNumbersAndLetters)
{
    open("0:DATA.TXT", 2, 1);
    open("26:X", 2, 2);
    open("b:\\Y.TXT", 2, 3);
    rt::CLOSE();
    EXPECT_TRUE(std::filesystem::exists("DATA.TXT"));
    EXPECT_TRUE(std::filesystem::exists("26:X"));
    EXPECT_TRUE(std::filesystem::exists("Y.TXT"));
}

TEST_F(DeviceTableTest, ChecksInOrderAndNothingLeftOpenAfterAFailure)
{
    EXPECT_EQ(raised_by([&] { open(std::string(256, 'A'), 1, 0); }),
              (Raised{rt::err::kBadFileName, rt::file_site::kOpenSpecification}));
    EXPECT_EQ(error_of([&] { open("A", 1, 0); }), rt::err::kBadFileNumber);
    EXPECT_EQ(error_of([&] { open("A", 1, 256); }), rt::err::kBadFileNumber);
    EXPECT_EQ(error_of([&] { open("A", 0, 1, 1); }), kBadFileMode);
    EXPECT_EQ(error_of([&] { open("A", 11, 1); }), kBadFileMode);
    EXPECT_EQ(error_of([&] { open("A", 1, 1, 2); }), kBadFileMode);
    EXPECT_EQ(error_of([&] { open("A", 3, 1, 3); }), kBadFileMode);
    EXPECT_EQ(error_of([&] { open("A()", 1, 1); }), rt::err::kIllegalArgument);
    EXPECT_EQ(error_of([&] { open("(5)", 4, 1); }), rt::err::kBadFileName);
    EXPECT_EQ(error_of([&] { open("*.DAT", 1, 1); }), rt::err::kBadFileName);
    EXPECT_EQ(error_of([&] { open("MISSING.DAT", 1, 1); }), rt::err::kFileNotFound);
    EXPECT_EQ(error_of([&] { open(".", 3, 1); }), rt::err::kAccessDenied);
    for (int slot = rt::kFirstDiskSlot; slot <= rt::kLastDiskSlot; ++slot)
        EXPECT_EQ(table().device_at(slot), nullptr);
    EXPECT_EQ(table().slot_of(1), -1);

    write_file("A", "1");
    open("A", 1, 1);
    EXPECT_EQ(raised_by([&] { open("A", 1, 1); }), (Raised{rt::err::kFileAlreadyOpen, rt::file_site::kOpenAlreadyOpen}));
}

TEST_F(DeviceTableTest, DiskFilesCanBeDisabled)
{
    rt::DeviceTable disabled(options_with(true));
    EXPECT_EQ(error_of([&] { disabled.open("A.TXT", 2, 0, 1); }), rt::err::kDeviceAccessDisabled);
    EXPECT_FALSE(std::filesystem::exists("A.TXT"));
}

TEST_F(DeviceTableTest, OpenPopsTheSpecification)
{
    rt::push_temp("QK.DEF");
    EXPECT_EQ(error_of([] { rt::OPEN(1, 3, 1); }), rt::err::kFileNotFound);
    write_file("QK.DEF", "x");
    rt::push_temp("QK.DEF");
    rt::OPEN(1, 3, 1);
    EXPECT_EQ(table().open_device(1, 0).name(), (dir() / "QK.DEF").string());
}

TEST_F(DeviceTableTest, PrintersAreRefused)
{
    EXPECT_EQ(raised_by([&] { open("LPT1:", 2, 1); }), (Raised{kBadFileMode, rt::file_site::kOpenDeviceMode}));
    EXPECT_EQ(raised_by([&] { open("lpt1:(XX)", 2, 1); }),
              (Raised{rt::err::kIllegalArgument, rt::file_site::kOpenPrinterOptions}));
    EXPECT_EQ(raised_by([&] { open("lpt1:(dc)", 2, 1); }), (Raised{kBadFileMode, rt::file_site::kOpenDeviceMode}));
    EXPECT_EQ(table().device_at(6)->device_class(), rt::DeviceClass::Printer);
    EXPECT_EQ(table().slot_of(1), -1);
}

TEST_F(DeviceTableTest, KeyboardAndScreenNeedTheirModes)
{
    int keyboard_opens = 0, screen_opens = 0;
    table().register_fixed_device(
        0, std::make_unique<FakeConsoleDevice>(rt::DeviceClass::Keyboard, "KYBD:", keyboard_opens));
    table().register_fixed_device(1, std::make_unique<FakeConsoleDevice>(rt::DeviceClass::Screen, "SCRN:", screen_opens));
    EXPECT_EQ(error_of([&] { open("KYBD:", 2, 1); }), kBadFileMode);
    EXPECT_EQ(error_of([&] { open("scrn:", 1, 1); }), kBadFileMode);
    EXPECT_EQ(keyboard_opens + screen_opens, 0);
    open("kybd:", 1, 1);
    EXPECT_EQ(keyboard_opens, 1);  // the keyboard empties its queue here
    open("SCRN:", 2, 2);
    EXPECT_EQ(table().slot_of(1), rt::kKeyboardSlot);
    EXPECT_EQ(table().slot_of(2), rt::kScreenSlot);
    EXPECT_EQ(table().slot_of(0), rt::kScreenSlot);
    // Fixed devices survive their close.
    rt::CLOSE();
    EXPECT_NE(table().device_at(0), nullptr);
}

TEST_F(DeviceTableTest, SerialOpenerReceivesSlotModeAndOptions)
{
    EXPECT_EQ(error_of([&] { open("COM0:", 6, 1); }), rt::err::kDeviceNotFound);
    int seen_slot = -1, seen_mode = -1, seen_number = -1;
    std::string seen_options;
    std::uint16_t answer = 0;
    table().set_serial_opener([&](int slot, int mode, std::string_view options, int number) {
        seen_slot = slot;
        seen_mode = mode;
        seen_options = std::string(options);
        seen_number = number;
        return answer;
    });
    open("com0:(s8n1n8,RB8192)", 0, 1);
    EXPECT_EQ(seen_slot, 10);
    EXPECT_EQ(seen_mode, 6);
    EXPECT_EQ(seen_options, "s8n1n8,RB8192");
    EXPECT_EQ(seen_number, 1);
    EXPECT_EQ(table().slot_of(1), 10);

    answer = 59;
    EXPECT_EQ(raised_by([&] { open("COM3:", 6, 2); }), (Raised{59, rt::file_site::kOpenDevice}));
    EXPECT_EQ(table().slot_of(2), -1);
}

TEST_F(DeviceTableTest, CloseChecksNumbersButNotOpenness)
{
    rt::CLOSE();
    rt::CLOSE({7});
    EXPECT_EQ(error_of([] { rt::CLOSE({0}); }), rt::err::kBadFileNumber);
    EXPECT_EQ(error_of([] { rt::CLOSE({256}); }), rt::err::kBadFileNumber);
}

TEST_F(DeviceTableTest, ShareCodesBetweenFileNumbers)
{
    write_file("S.DAT", "x");
    open("S.DAT", 1, 1, 4);  // input, no sharing
    EXPECT_EQ(error_of([&] { open("S.DAT", 1, 2, 3); }), rt::err::kAccessDenied);
    EXPECT_EQ(table().slot_of(2), -1);
    table().close(1);

    open("S.DAT", 1, 1, 3);
    open("S.DAT", 1, 2, 3);  // both share reading and writing
    rt::CLOSE();

    open("S.DAT", 3, 1, 1);  // append, others may only read
    open("S.DAT", 1, 2, 3);
    EXPECT_EQ(error_of([&] { open("S.DAT", 3, 3, 1); }), rt::err::kAccessDenied);
    EXPECT_EQ(file_contents("S.DAT"), "x") << "a refused append open writes no end mark";
    rt::CLOSE();
    open("S.DAT", 3, 3, 1);  // free again once closed
}

TEST_F(DeviceTableTest, ShareCodesBetweenPrograms)
{
    write_file("P.DAT", "x");
    open("P.DAT", 3, 1, 1);  // this program appends; others may read only
    const auto child_open = [](std::int16_t mode, std::int16_t share) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            // A separate program: its own descriptor and locks.
            try {
                auto file = rt::DiskFile::open({"P.DAT", mode, share, 256}, 0);
                ::_exit(0);
            } catch (const rt::RuntimeError& e) {
                ::_exit(e.number() == rt::err::kAccessDenied ? 75 : 1);
            }
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(child_open(1, 3), 0);
    EXPECT_EQ(child_open(3, 1), 75);
    table().close(1);
    EXPECT_EQ(child_open(3, 1), 0);
}

TEST_F(DeviceTableTest, KilledWriterKeepsEveryLineItWrote)
{
    constexpr int kLines = 5;
    for (int line = 0; line < kLines; ++line) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            open("CRASH.DAS", 3, 1, 1);
            table().open_device(1, 0).write("LINE " + std::to_string(line) + "\r\n", 0);
            ::raise(SIGKILL);  // no close, no end mark
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
    }
    EXPECT_EQ(file_contents("CRASH.DAS"), "LINE 0\r\nLINE 1\r\nLINE 2\r\nLINE 3\r\nLINE 4\r\n");
}

TEST_F(DeviceTableTest, WritesNeedAnOutputKind)
{
    write_file("IN.DAT", "abc");
    open("IN.DAT", 1, 1);
    EXPECT_EQ(error_of([&] { table().open_device(1, 0).write("x", 0); }), kBadFileMode);
    EXPECT_EQ(file_contents("IN.DAT"), "abc");
    open("IN.DAT", 8, 2);
    EXPECT_EQ(error_of([&] { table().open_device(2, 0).write("x", 0); }), kBadFileMode);
}

// The cause a disk open or write left in the error state.
rt::ErrorCause cause_of(const std::function<void()>& body)
{
    rt::ErrorState& state = rt::Runtime::current().frame().error;
    state = {};
    (void)error_of(body);
    return std::exchange(state, {}).cause;
}

TEST_F(DeviceTableTest, OnlyRegularFilesOpenAndNothingWaits)
{
    // A FIFO with no writer would block an ordinary open for input for ever.
    ASSERT_EQ(::mkfifo("PIPE.DEF", 0600), 0);
    std::filesystem::create_directory("FOLDER.DAS");
    for (const char* name : {"PIPE.DEF", "FOLDER.DAS", "/dev/null"}) {
        for (const std::int16_t mode : {1, 2, 3}) {
            const rt::ErrorCause cause = cause_of([&] { open(name, mode, 1); });
            EXPECT_TRUE(cause.not_regular_file) << name << " mode " << mode;
            EXPECT_EQ(error_of([&] { open(name, mode, 1); }), rt::err::kAccessDenied);
            EXPECT_EQ(table().slot_of(1), -1);
        }
    }
    const rt::ErrorCause missing = cause_of([&] { open("MISSING.DEF", 1, 1); });
    EXPECT_EQ(missing.system_error, ENOENT);
    EXPECT_EQ(missing.path, (dir() / "MISSING.DEF").string());
}

TEST_F(DeviceTableTest, AFailedWriteIsCutBackSoTheFileEndsWithAWholeLine)
{
    // Under a file size limit the second line fits only in part: the part
    // that reached the file is cut off again, and nothing moves.
    write_file("LIMIT.DAS", "0001\r\n");
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{10, 10};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        open("LIMIT.DAS", 3, 1);
        auto& file = table().open_device(1, 0);
        const rt::ErrorCause cause = cause_of([&] { file.write("0002,26/12/07\r\n", 0); });
        const bool consistent = file.state()->position == 6 && file.state()->length == 6;
        ::_exit(cause.system_error == EFBIG && consistent ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(file_contents("LIMIT.DAS"), "0001\r\n");
    EXPECT_EQ(rt::translate_system_error(EFBIG), rt::err::kDiskFull);
}

TEST_F(DeviceTableTest, AnAppendedLogTellsAnUnfinishedLineAndAReplacedFile)
{
    write_file("HALF.DAS", "0001,26/12/07\r\n045\x1A");
    write_file("WHOLE.DAS", "0001\r\n\x1A");
    open("HALF.DAS", 3, 1);
    open("WHOLE.DAS", 3, 2);
    open("NEW.DAS", 3, 3);
    EXPECT_TRUE(rt::file_ends_inside_line(1));
    EXPECT_FALSE(rt::file_ends_inside_line(2));
    EXPECT_FALSE(rt::file_ends_inside_line(3));

    EXPECT_FALSE(rt::file_replaced_on_disk(2));
    std::filesystem::remove("WHOLE.DAS");
    EXPECT_TRUE(rt::file_replaced_on_disk(2));
    write_file("WHOLE.DAS", "other");
    EXPECT_TRUE(rt::file_replaced_on_disk(2));
    std::filesystem::rename("HALF.DAS", "MOVED.DAS");
    write_file("HALF.DAS", "");
    EXPECT_TRUE(rt::file_replaced_on_disk(1));
    EXPECT_FALSE(rt::file_replaced_on_disk(3));
}

TEST_F(DeviceTableTest, KillRefusesDevicesOpenFilesAndMissingFiles)
{
    rt::push_temp("kybd:");
    EXPECT_EQ(error_of([] { rt::KILL(); }), rt::err::kBadFileName);
    rt::push_temp(std::string(256, 'K'));
    EXPECT_EQ(error_of([] { rt::KILL(); }), rt::err::kBadFileName);
    rt::push_temp("NOPE.DAS");
    EXPECT_EQ(error_of([] { rt::KILL(); }), rt::err::kFileNotFound);

    write_file("OPEN.DAS", "keep");
    open("OPEN.DAS", 1, 9);
    rt::push_temp("open.das");
    EXPECT_EQ(raised_by([] { rt::KILL(); }), (Raised{rt::err::kFileAlreadyOpen, rt::file_site::kKill}));
    EXPECT_EQ(file_contents("OPEN.DAS"), "keep");
    table().close(9);
    rt::push_temp("OPEN.DAS");
    rt::KILL();
    EXPECT_FALSE(std::filesystem::exists("OPEN.DAS"));
}

}  // namespace
}  // namespace files_test
