// Requests on the wire and replies on screen: exact bytes of typed commands
// and dump rows, the reply's end byte, and 7-bit framing.
#include "tests/qk14_e2e/qk14_e2e_fixture.h"

namespace qk14_e2e {
namespace {

using TargetProtocol = Qk14EndToEnd;

std::string response(const ScreenCapture& screen) { return screen.at(12, 20, 40); }
std::string padded(std::string text, std::size_t width = 40)
{
    text.resize(width, ' ');
    return text;
}

TEST_F(TargetProtocol, TypedCommandsSendDigitsAndOneCodeByte)
{
    start_simulator({"--fill", "8000=00FF"});
    HeadlessScript script = started();
    for (const char* line : {"R8000", "S12347", "O3F5A", "I3F", "H3F0", "L3F6", "C12347", "W1000:AB"})
        script.command_done(line).screen(std::string(line).substr(0, 1) + ".txt");
    script.close();
    EXPECT_EQ(run(script), 0);

    const std::vector<std::string> expected{
        "38 30 30 30 1F",              // R8000
        "31 32 33 34 37 21",           // S12347
        "33 46 35 41 22",              // O3F5A
        "33 46 23",                    // I3F
        "33 46 30 25",                 // H3F0
        "33 46 36 24",                 // L3F6
        "31 32 33 34 37 20",           // C12347
        "31 30 30 30 34 31 34 32 01",  // W1000:AB
    };
    EXPECT_EQ(log().received_except_rows_of(), expected) << log().dump();

    // The reply is the text before the end byte (CR from this board).
    EXPECT_EQ(response(screen("R.txt")), padded("00FF" + std::string(28, '0'))) << screen("R.txt").text();
    EXPECT_EQ(response(screen("S.txt")), padded("80"));
    EXPECT_EQ(response(screen("I.txt")), padded("5A")) << screen("I.txt").text();
    EXPECT_EQ(response(screen("H.txt")), padded("5B"));
    EXPECT_EQ(response(screen("L.txt")), padded("1B"));
    EXPECT_EQ(response(screen("C.txt")), padded("00"));
}

TEST_F(TargetProtocol, DumpRowsAreReadInOrderFromTheJumpTarget)
{
    start_simulator({"--fill", "1230=0102030405060708090A0B0C0D0E0F10"});
    HeadlessScript script = started();
    script.command("J12").until(6, "1230 01 02 ").screen("page.txt").close();
    EXPECT_EQ(run(script), 0);

    // After the jump the rows 1200, 1210, 1220, 1230 follow each other.
    const std::vector<std::string> received = log().received();
    const auto first = std::find(received.begin(), received.end(), "31 32 30 30 1F");
    ASSERT_NE(first, received.end()) << log().dump();
    ASSERT_GE(received.end() - first, 4);
    EXPECT_EQ(*(first + 1), "31 32 31 30 1F");
    EXPECT_EQ(*(first + 2), "31 32 32 30 1F");
    EXPECT_EQ(*(first + 3), "31 32 33 30 1F");  // the row at 1230

    const ScreenCapture page = screen("page.txt");
    EXPECT_EQ(page.at(1, 6, 53), "1230 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 ") << page.text();
}

TEST_F(TargetProtocol, ShortRepliesAreShownAndMeaninglessOnesNever)
{
    // Half a reply: the row shows its pairs, then one blank for each missing pair.
    start_simulator({"--fault", "short", "--fill", "0000=112233445566778899AABBCCDDEEFF00"});
    HeadlessScript short_script = started("0000 11 22 33 44 55 66 77 88");
    short_script.command("R0000").until(20, "Response:1122334455667788").screen("short.txt").close();
    EXPECT_EQ(run(short_script), 0);
    const ScreenCapture half = screen("short.txt");
    EXPECT_EQ(half.at(1, 3, 52), "0000 11 22 33 44 55 66 77 88 " + std::string(8, ' ') + " -- -- -- -- --") << half.text();
    EXPECT_EQ(response(half), padded("1122334455667788"));

    // Letters instead of digits are no reply: the rows keep their placeholder
    // and a typed read shows "Error", as for a silent board.
    start_simulator({"--fault", "garbage"});
    HeadlessScript garbage_script;
    garbage_script.until(0, "Error").command("R0000").until(20, "Response:Error").screen("garbage.txt").close();
    EXPECT_EQ(run(garbage_script), 0);
    const ScreenCapture garbage = screen("garbage.txt");
    for (int row = 3; row <= 18; ++row)
        EXPECT_EQ(garbage.at(5, row, 48), " -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- --") << garbage.text();
}

TEST_F(TargetProtocol, SevenDataBitsSendTheSameRequests)
{
    directory_.write("QK.DEF", "CH=0\r\nBT=7\r\n");
    start_simulator({"--data-bits", "7", "--fill", "8000=7E"});
    HeadlessScript script = started();
    script.command_done("R8000").screen("seven.txt").close();
    EXPECT_EQ(run(script), 0);

    EXPECT_EQ(log().received_except_rows_of(), std::vector<std::string>{"38 30 30 30 1F"}) << log().dump();
    const ScreenCapture seven = screen("seven.txt");
    EXPECT_EQ(seven.at(3, 1, 17), "Channel=COM0 7bit") << seven.text();
    EXPECT_EQ(response(seven), padded("7E" + std::string(30, '0'))) << seven.text();
    EXPECT_EQ(seven.at(1, 3, 8), "0000 00 ") << seven.text();
}

}  // namespace
}  // namespace qk14_e2e
