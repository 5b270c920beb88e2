// Files with values the program cannot use: QK.DEF values outside what a
// setting allows are shown in words on the response row and the program
// runs on without a channel; huge names and fields are cut to their cells.
#include "tests/qk14_e2e/qk14_e2e_fixture.h"
#include "tests/support/scoped_locale.h"

namespace qk14_e2e {
namespace {

using SettingsValues = Qk14EndToEnd;

TEST_F(SettingsValues, UnusableValuesAreShownInWordsAndTheProgramRunsOn)
{
    start_simulator();
    directory_.write("QK.DEF", "CH=99999\r\nBT=99999999\r\n");
    HeadlessScript script;
    // Row reads fail at once without a channel, which the clock shows.
    script.until(20, "no channel opened").screen("start.txt").until(0, "Error");
    script.command_done("R8000").screen("command.txt").close();
    EXPECT_EQ(run(script), 0) << directory_.read("qk14.err");
    const ScreenCapture start = screen("start.txt");
    EXPECT_EQ(start.at(12, 20, 68),
              "QK.DEF CH=99999: the channel is 0, 1, 2 or 3; no channel opened  QK.")
        << start.text();
    EXPECT_EQ(start.at(3, 1, 17), "Channel=COM3 8bit");
    // No channel: the board is silent, as far as the screens show.
    const ScreenCapture command = screen("command.txt");
    EXPECT_EQ(command.at(12, 20, 5), "Error") << command.text();
    EXPECT_EQ(command.at(71, 0, 8), "Error   ");
    EXPECT_EQ(log().received_except_rows_of(), std::vector<std::string>{});
}

TEST_F(SettingsValues, ProblemsGoToStandardErrorTooAndTheNextCommandClearsTheWholeRow)
{
    start_simulator();
    directory_.write("QK.DEF", "CH=4\r\nAD=ZZ\r\n");
    HeadlessScript script;
    script.until(20, "no channel opened").screen("start.txt").until(0, "Error");
    script.command_done("R8000").screen("command.txt").close();
    EXPECT_EQ(run(script), 0);
    EXPECT_EQ(directory_.read("qk14.err"),
              "QK.DEF CH=4: the channel is 0, 1, 2 or 3; no channel opened\n"
              "QK.DEF AD=ZZ: the address is 0000 to FFFF; ignored\n");
    EXPECT_EQ(screen("start.txt").at(12, 20, 68),
              "QK.DEF CH=4: the channel is 0, 1, 2 or 3; no channel opened  QK.DEF ")
        << screen("start.txt").text();
    // "Error", and nothing left of the notice after it.
    EXPECT_EQ(screen("command.txt").at(3, 20, 77), "Response:Error" + std::string(63, ' '))
        << screen("command.txt").text();
}

TEST_F(SettingsValues, ProblemsAreInJapaneseUnderAJapaneseLocale)
{
    const qk_test::ScopedLocale japanese("ja_JP.UTF-8");
    start_simulator();
    directory_.write("QK.DEF", "BT=99999999\r\n");
    HeadlessScript script = started();
    script.screen("start.txt").close();
    EXPECT_EQ(run(script), 0);
    EXPECT_EQ(directory_.read("qk14.err"), "QK.DEF BT=99999999: データビットは 7 か 8 です。8 にします\n");
    EXPECT_EQ(screen("start.txt").at(12, 20, 58), to_shift_jis("QK.DEF BT=99999999: データビットは 7 か 8 です。8 にします"))
        << screen("start.txt").text();
}

TEST_F(SettingsValues, HugeNamesAndFormatFieldsAreCutToTheirCells)
{
    start_simulator({"--fill", "8001=5A"});
    directory_.write("QK.DEF", "CH=0\r\nF2=" + std::string(10'000'000, 'N') + "\r\nF3=BIG\r\n");
    directory_.write("BIG.DAT", "2,3,A,80001," + std::string(5'000'000, 'H') + "\r\n2,4,B,80011,H\r\n");
    // Reading the 10 MB record takes the input statement a while; printing is cut.
    HeadlessScript script = started();
    script.screen("start.txt").key("F3").until(4, "B 8001.1.H 5A").screen("page.txt").close();
    EXPECT_EQ(run(script), 0) << directory_.read("qk14.err");
    const ScreenCapture start = screen("start.txt");
    EXPECT_EQ(start.at(14, 22, 26), "F2=NNNNNNNNNNF3=BIG       ") << start.text();
    const ScreenCapture page = screen("page.txt");
    EXPECT_EQ(page.at(2, 3, 78), "A 8000.1." + std::string(69, 'H')) << page.text();
    EXPECT_EQ(page.at(2, 4, 13), "B 8001.1.H 5A") << page.text();
}

}  // namespace
}  // namespace qk14_e2e
