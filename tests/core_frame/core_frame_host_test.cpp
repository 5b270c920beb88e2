// The host pieces under the frame: settings file, desktop queue and timers,
// pixel surfaces; and the program's base name.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/desktop.h"
#include "host/settings_store.h"
#include "host/surface.h"
#include "runtime/core/program_start.h"
#include "tests/core_frame/frame_fixture.h"
#include "tests/core_frame/recording_front_end.h"

namespace {

using qk_test::TemporarySettings;

std::string file_text(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(SettingsStore, ValuesRoundTripAndNamesIgnoreCase)
{
    TemporarySettings temp;
    auto store = host::SettingsStore::for_user();
    EXPECT_EQ(store.file(), temp.directory() / "settings.ini");
    EXPECT_EQ(store.get_string("ENV", "Kaxel"), std::nullopt);
    ASSERT_TRUE(store.set_string("ENV", "Kaxel", "/opt/qk/"));
    ASSERT_TRUE(store.set_u32("RUNTIME\\ERROR", "CODE", 4000000000u));
    EXPECT_EQ(store.get_string("env", "KAXEL"), "/opt/qk/");
    EXPECT_EQ(store.get_u32("runtime\\error", "code"), 4000000000u);
    ASSERT_TRUE(store.set_string("ENV", "kaxel", "/usr/lib/qk/"));  // replaces, keeps one entry
    EXPECT_EQ(store.entries("ENV").size(), 1u);
    EXPECT_EQ(store.get_string("ENV", "Kaxel"), "/usr/lib/qk/");
    EXPECT_EQ(store.get_u32("ENV", "Kaxel"), std::nullopt);  // not a number
    EXPECT_TRUE(store.remove("ENV", "Kaxel"));
    EXPECT_EQ(store.get_string("ENV", "Kaxel"), std::nullopt);
}

TEST(SettingsStore, HandWrittenFileKeepsCommentsAndPortsAreListed)
{
    TemporarySettings temp;
    const auto file = temp.directory() / "settings.ini";
    std::ofstream(file) << "; serial ports\r\n[ports]\r\nCOM1 = /dev/ttyUSB0\r\nCOM2=/dev/pts/7\r\n\r\n[ENV]\r\n";
    host::SettingsStore store(file);
    const auto ports = store.entries("ports");
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_EQ(ports[0], (std::pair<std::string, std::string>{"COM1", "/dev/ttyUSB0"}));
    EXPECT_EQ(store.get_u32("ports", "COM1:"), std::nullopt);
    ASSERT_TRUE(store.set_u32("ENV", "LINE", 12));
    const std::string text = file_text(file);
    EXPECT_NE(text.find("; serial ports\n[ports]\n"), std::string::npos) << text;
    EXPECT_NE(text.find("[ENV]\nLINE=12\n"), std::string::npos) << text;
}

TEST(SettingsStore, RefusesLineBreaksAndLeavesNoTemporaryFiles)
{
    TemporarySettings temp;
    auto store = host::SettingsStore::for_user();
    ASSERT_TRUE(store.set_string("ENV", "A", "1"));
    EXPECT_FALSE(store.set_string("ENV", "B", "two\nlines"));
    EXPECT_FALSE(store.set_string("ENV", "C=D", "x"));
    EXPECT_FALSE(store.set_string("bad]name", "A", "x"));
    EXPECT_EQ(store.get_string("ENV", "B"), std::nullopt);
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(temp.directory()))
        ++files;
    EXPECT_EQ(files, 1);
}

TEST(SettingsStore, CreatesItsDirectoryAndFollowsXdgConfigHome)
{
    TemporarySettings temp;
    ::unsetenv("QK_SETTINGS_FILE");
    ::setenv("XDG_CONFIG_HOME", (temp.directory() / "config").c_str(), 1);
    auto store = host::SettingsStore::for_user();
    EXPECT_EQ(store.file(), temp.directory() / "config" / "qkmonitors" / "settings.ini");
    EXPECT_TRUE(store.set_u32("RUNTIME\\ERROR", "APIERR", 13));
    EXPECT_EQ(store.get_u32("RUNTIME\\ERROR", "APIERR"), 13u);
    ::unsetenv("XDG_CONFIG_HOME");
}

TEST(SettingsStore, UnwritableLocationReportsFailure)
{
    host::SettingsStore store("/proc/qk-no-such-dir/settings.ini");
    EXPECT_FALSE(store.set_string("ENV", "Kaxel", "/x/"));
}

class DesktopTest : public ::testing::Test {
protected:
    DesktopTest() : front_(new qk_test::RecordingFrontEnd), desktop_(std::unique_ptr<host::FrontEnd>(front_)) {}
    qk_test::RecordingFrontEnd* front_;
    host::Desktop desktop_;
};

TEST_F(DesktopTest, PostedMessagesComeBeforeQuitAndPaintsCoalesce)
{
    const auto w = desktop_.create_window({}, [](const host::Message&) -> std::int64_t { return 0; });
    desktop_.post_quit(4);
    desktop_.post({w, host::MessageKind::Paint});
    desktop_.post({.window = w, .kind = host::MessageKind::Char, .character = 'a'});
    desktop_.post({w, host::MessageKind::Paint});
    host::Message m;
    ASSERT_TRUE(desktop_.peek(m, false));
    EXPECT_EQ(m.kind, host::MessageKind::Paint);
    ASSERT_TRUE(desktop_.peek(m));
    ASSERT_TRUE(desktop_.peek(m));
    EXPECT_EQ(m.kind, host::MessageKind::Char);
    ASSERT_TRUE(desktop_.peek(m));
    EXPECT_EQ(m.kind, host::MessageKind::Quit);
    EXPECT_EQ(m.exit_code, 4);
    EXPECT_FALSE(desktop_.peek(m));
}

TEST_F(DesktopTest, TimerMessagesAreMadeWhileMessagesAreTaken)
{
    const auto w = desktop_.create_window({}, [](const host::Message&) -> std::int64_t { return 0; });
    desktop_.set_timer(w, 7, std::chrono::milliseconds(5));
    const host::Message m = desktop_.get();
    EXPECT_EQ(m.kind, host::MessageKind::Timer);
    EXPECT_EQ(m.window, w);
    EXPECT_EQ(m.timer_id, 7u);
    desktop_.kill_timer(w, 7);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    host::Message none;
    EXPECT_FALSE(desktop_.peek(none));
}

TEST_F(DesktopTest, WindowDestroyingItselfWhileHandlingAMessage)
{
    int destroys = 0;
    host::WindowId w = 0;
    w = desktop_.create_window({}, [&](const host::Message& m) -> std::int64_t {
        if (m.kind == host::MessageKind::Close)
            desktop_.destroy_window(w);
        if (m.kind == host::MessageKind::Destroy) {
            ++destroys;
            desktop_.destroy_window(w);  // a second destroy from inside does nothing
        }
        return 42;
    });
    desktop_.set_timer(w, 1, std::chrono::milliseconds(1));
    EXPECT_EQ(desktop_.send({w, host::MessageKind::Close}), 42);
    EXPECT_EQ(destroys, 1);
    EXPECT_FALSE(desktop_.window_exists(w));
    EXPECT_EQ(desktop_.send({w, host::MessageKind::Close}), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(3));
    host::Message m;
    EXPECT_FALSE(desktop_.peek(m));  // its timer went with it
}

TEST(Surface, FillAndCopyAreClippedAndResizeKeepsPixels)
{
    host::Surface s(4, 3, 0);
    s.fill({-2, 1, 2, 10}, 7);
    EXPECT_EQ(s.pixel(0, 1), 7u);
    EXPECT_EQ(s.pixel(1, 2), 7u);
    EXPECT_EQ(s.pixel(2, 1), 0u);
    EXPECT_EQ(s.pixel(0, 0), 0u);
    host::Surface t(3, 3, 1);
    t.copy_from(s, {0, 0, 10, 10});
    EXPECT_EQ(t.pixel(1, 2), 7u);
    EXPECT_EQ(t.pixel(2, 2), 0u);
    s.resize(2, 4, 9);
    EXPECT_EQ(s.width(), 2);
    EXPECT_EQ(s.pixel(0, 1), 7u);
    EXPECT_EQ(s.pixel(1, 3), 9u);
}

TEST(ProgramStart, BaseNameDropsDirectoryAndExtension)
{
    EXPECT_EQ(rt::program_base_name("/usr/local/bin/qk14"), "qk14");
    EXPECT_EQ(rt::program_base_name("C:\\TOOLS\\QKP877W.EXE"), "QKP877W");
    EXPECT_EQ(rt::program_base_name("A:QK.1.EXE"), "QK.1");
    EXPECT_EQ(rt::program_base_name("/opt/v1.2/qk14"), "qk14");
    // 表 is 0x95 0x5C: its second byte is not a directory separator.
    EXPECT_EQ(rt::program_base_name("C:\\\x95\x5c\x8e\xa6.EXE"), "\x95\x5c\x8e\xa6");
    EXPECT_NE(rt::executable_path().find("core_frame_host_tests"), std::string::npos);
}

TEST(ProgramStart, FailureCodesSelectStartupMessages)
{
    EXPECT_EQ(rt::startup_message_for_failure(7), 2);
    EXPECT_EQ(rt::startup_message_for_failure(1010), 6);
    EXPECT_EQ(rt::startup_message_for_failure(1011), 8);
    EXPECT_EQ(rt::startup_message_for_failure(1012), 7);
    EXPECT_EQ(rt::startup_message_for_failure(1013), 1);
    EXPECT_EQ(rt::startup_message_for_failure(1014), 3);
    EXPECT_EQ(rt::startup_message_for_failure(99), 1);
    EXPECT_EQ(rt::startup_message_text(3), "\x83\x45\x83\x42\x83\x93\x83\x68\x83\x45\x82\xf0\x83\x49\x81\x5b\x83\x76"
                                           "\x83\x93\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1");  // ウィンドウをオープンできません
    EXPECT_TRUE(rt::startup_message_text(9).empty());
}

}  // namespace
