// The dump page: its layout, the J command and the paging keys with their
// wrap-around within 64 KB.
#include "tests/qk14_e2e/qk14_e2e_fixture.h"

namespace qk14_e2e {
namespace {

using DumpPage = Qk14EndToEnd;

// The addresses in the first and last row of the page on screen.
std::pair<std::string, std::string> page_addresses(const ScreenCapture& screen)
{
    return {screen.at(1, 3, 4), screen.at(1, 18, 4)};
}

TEST_F(DumpPage, LayoutShowsAddressesBytesAndTheHelpBlock)
{
    start_simulator({"--fill", "0000=00112233445566778899AABBCCDDEEFF", "--fill", "00F0=FE"});
    HeadlessScript script;
    // The page's last row read, and the clock, which shows once its first second has passed.
    script.until(18, "00F0 FE ").until(0, ":").screen("page.txt").close();
    EXPECT_EQ(run(script), 0);

    const ScreenCapture page = screen("page.txt");
    EXPECT_EQ(page.at(1, 2, 52), "ADRS +0 +1 +2 +3 +4 +5 +6 +7 +8 +9 +A +B +C +D +E +F") << page.text();
    EXPECT_EQ(page.at(1, 3, 53), "0000 00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF ") << page.text();
    EXPECT_EQ(page.at(1, 18, 53), "00F0 FE 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 ");
    EXPECT_EQ(page.at(55, 2, 17), "***  Command  ***");
    EXPECT_EQ(page.at(55, 3, 16), "Rxxxx   Mem Read");
    EXPECT_EQ(page.at(63, 13, 13), "   z=Bit(0-7)");
    EXPECT_EQ(page.at(55, 14, 14), "\x81\xaa      : -256");  // double-byte up arrow
    EXPECT_EQ(page.at(55, 15, 14), "\x81\xab      : +256");
    EXPECT_EQ(page.at(55, 18, 19), "Jxx     : Jump xx00");
    EXPECT_EQ(page.at(1, 22, 10), "F1=256dump");
    EXPECT_EQ(page.at(66, 23, 10), "F12=Repeat");
    EXPECT_EQ(page.at(3, 1, 17), "Channel=COM0 8bit");
    EXPECT_EQ(page.at(24, 1, 6), "Little");
    // The clock shows the time of day.
    const std::string clock = page.at(71, 0, 8);
    EXPECT_TRUE(clock[2] == ':' && clock[5] == ':') << clock;
}

TEST_F(DumpPage, JumpTakesTwoDigitsAndPagingWraps)
{
    start_simulator();
    HeadlessScript script = started();
    // A jump is done when the command row is empty again (the response row is
    // cleared before); a paging key when the page's last row shows the address it leads to.
    script.command_done("J12").screen("j12.txt");
    script.command_done("J34").screen("j34.txt");
    script.command_done("J1234").screen("j1234.txt");
    script.command_done("JFF").key("Down").until(18, " 00F0").screen("down.txt");
    script.key("Up").until(18, " FFF0").screen("up.txt");
    script.command_done("J00").key("PageUp").until(18, " F0F0").screen("pageup.txt");
    script.command_done("JF8").key("PageDown").until(18, " 08F0").screen("pagedown.txt");
    script.command_done("J1").screen("j1.txt").close();
    EXPECT_EQ(run(script), 0);

    using Pair = std::pair<std::string, std::string>;
    EXPECT_EQ(page_addresses(screen("j12.txt")), Pair("1200", "12F0")) << screen("j12.txt").text();
    EXPECT_EQ(page_addresses(screen("j1234.txt")), Pair("1200", "12F0")) << screen("j1234.txt").text();
    EXPECT_EQ(page_addresses(screen("down.txt")), Pair("0000", "00F0")) << screen("down.txt").text();
    EXPECT_EQ(page_addresses(screen("up.txt")), Pair("FF00", "FFF0")) << screen("up.txt").text();
    EXPECT_EQ(page_addresses(screen("pageup.txt")), Pair("F000", "F0F0")) << screen("pageup.txt").text();
    EXPECT_EQ(page_addresses(screen("pagedown.txt")), Pair("0800", "08F0")) << screen("pagedown.txt").text();
    // J with one digit is refused and leaves the page.
    EXPECT_EQ(page_addresses(screen("j1.txt")), Pair("0800", "08F0"));
    EXPECT_EQ(screen("j1.txt").at(12, 20, 5), "Error");
    // A jump clears the response row; nothing is sent for J.
    EXPECT_EQ(screen("j12.txt").at(12, 20, 40), std::string(40, ' '));
    for (const std::string& hex : log().received())
        EXPECT_TRUE(hex.size() == 14 && hex.ends_with("30 1F")) << "not a row read: " << hex;
}

TEST_F(DumpPage, RepeatedF1DoesNotRestartTheRowCycle)
{
    start_simulator();
    HeadlessScript script = started();
    // A redraw would start the rows again at 0000 each time; 16 rows take far
    // longer than 250 ms. The presses' pace is what the case checks.
    for (int i = 0; i < 24; ++i)
        script.key("F1").wait(250);
    script.screen("page.txt").close();
    EXPECT_EQ(run(script), 0);
    const RequestLog requests = log();
    EXPECT_GE(requests.count_received(request_hex("00F0", 0x1F)), 3) << requests.dump();
    EXPECT_GE(requests.count_received(request_hex("00A0", 0x1F)), 3);
}

}  // namespace
}  // namespace qk14_e2e
