// QK.DEF read at start-up: defaults, each key, records split by commas,
// exact keys, and a missing file.
#include "tests/qk14_e2e/qk14_e2e_fixture.h"

namespace qk14_e2e {
namespace {

class SettingsFile : public Qk14EndToEnd {
protected:
    // Starts a fresh simulator and qk14 with the given QK.DEF bytes; returns
    // qk14's first screen with the page's first row read (`first_row`).
    ScreenCapture start_with(const std::string& settings, const std::vector<std::string>& arguments = {},
                             const std::vector<std::string>& board = {}, std::string_view first_row = "0000 00 ")
    {
        start_simulator(board);
        directory_.write("QK.DEF", settings);
        HeadlessScript script = started(first_row);
        script.screen("start.txt").close();
        EXPECT_EQ(run(script, arguments), 0) << directory_.read("qk14.err");
        return screen("start.txt");
    }
};

TEST_F(SettingsFile, EmptyFileGivesDefaultsAndTheZeroBitDigit)
{
    const ScreenCapture start = start_with("", {}, {"--fill", "0000=5A"}, "0000 5A ");
    EXPECT_EQ(start.at(3, 1, 18), "Channel=COM0 0bit ") << start.text();
    EXPECT_EQ(start.at(24, 1, 7), "Little ");
    EXPECT_EQ(start.at(1, 3, 8), "0000 5A ") << start.text();  // 8-bit line on channel 0
    EXPECT_EQ(start.at(14, 22, 13), "F2=          ");
}

TEST_F(SettingsFile, DataBitsOtherThanSevenMeanEight)
{
    EXPECT_EQ(start_with("BT=9\r\n").at(3, 1, 17), "Channel=COM0 8bit");
    EXPECT_EQ(start_with("BT=\r\n").at(3, 1, 17), "Channel=COM0 8bit");
    EXPECT_EQ(start_with("BT=7\r\n").at(3, 1, 17), "Channel=COM0 7bit");
    EXPECT_EQ(start_with("CH=0\r\n").at(3, 1, 17), "Channel=COM0 8bit");
}

TEST_F(SettingsFile, StartPageByteOrderAndFunctionKeyNames)
{
    const ScreenCapture start =
        start_with("AD=12FF\r\nBL=1\r\nF2=A,B\r\nF3=MOTOR:X\r\nF9=LONGNAME12\r\n", {}, {"--fill", "1200=C3"},
                   "1200 C3 ");
    EXPECT_EQ(start.at(1, 3, 8), "1200 C3 ") << start.text();
    EXPECT_EQ(start.at(1, 18, 4), "12F0");
    EXPECT_EQ(start.at(24, 1, 6), "Big   ");
    EXPECT_EQ(start.at(14, 22, 13), "F2=A         ") << start.text();
    EXPECT_EQ(start.at(27, 22, 13), "F3=MOTOR     ");
    EXPECT_EQ(start.at(27, 23, 13), "F9=LONGNAME12");  // F2-F9 names are not shortened
}

TEST_F(SettingsFile, KeysAreComparedExactlyAfterLeadingBlanks)
{
    EXPECT_EQ(start_with("ch=1\r\n").at(3, 1, 17), "Channel=COM0 8bit");
    EXPECT_EQ(start_with("CH =1\r\n").at(3, 1, 17), "Channel=COM0 8bit");
    // Channel 1 opens system port COM2, here the same simulator.
    EXPECT_EQ(start_with("   CH=1\r\n", {"--port", "COM2=" + (directory_ / "tty").string()}).at(3, 1, 17),
              "Channel=COM1 8bit");
    const RequestLog requests = log();
    EXPECT_GE(requests.count_received(request_hex("0000", 0x1F)), 1) << requests.dump();
}

TEST_F(SettingsFile, MissingFileEndsTheProgramWithTheRuntimeReport)
{
    start_simulator();
    std::filesystem::remove(directory_ / "QK.DEF");
    HeadlessScript script;
    script.until(1, "[63]").screen("report.txt").close();
    EXPECT_NE(run(script), 0);
    // Error 63 (file not found) with the module name, on the console; the frame was never drawn.
    const ScreenCapture report = screen("report.txt");
    const std::string text = report.row(0) + report.row(1);
    EXPECT_NE(text.find("Qk14"), std::string::npos) << report.text();
    EXPECT_NE(text.find("[63]"), std::string::npos) << report.text();
    EXPECT_FALSE(report.row_has(2, "ADRS"));
    const std::string settings = directory_.read("config/qkmonitors/settings.ini");
    EXPECT_NE(settings.find("CODE=63"), std::string::npos) << settings;
    EXPECT_TRUE(log().received().empty()) << "no channel was opened";
}

}  // namespace
}  // namespace qk14_e2e
