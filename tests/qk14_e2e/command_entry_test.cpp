// Typed commands end to end: what goes on the wire, what is refused, and
// what rows 19-21 show afterwards.
#include "tests/qk14_e2e/qk14_e2e_fixture.h"

namespace qk14_e2e {
namespace {

constexpr int kResponseRow = 20;
constexpr int kCommandRow = 21;
constexpr int kLastCommandRow = 19;

using CommandEntry = Qk14EndToEnd;

std::string response(const ScreenCapture& screen) { return screen.at(12, kResponseRow, 43); }
std::string padded(std::string text, std::size_t width = 43)
{
    text.resize(width, ' ');
    return text;
}

TEST_F(CommandEntry, LetterCaseDoesNotMatterAndALongReadIsRefused)
{
    start_simulator({"--fill", "1234=A1B2"});
    HeadlessScript script = started();
    script.command_done("r1234").screen("lower.txt");
    script.command_done("R1234").screen("upper.txt");
    script.command_done("R12345").screen("long.txt").close();
    EXPECT_EQ(run(script), 0);

    const RequestLog requests = log();
    const std::vector<std::string> expected{"31 32 33 34 1F", "31 32 33 34 1F"};
    EXPECT_EQ(requests.received_except_rows_of(), expected) << requests.dump();

    const std::string reply = "A1B2" + std::string(28, '0');
    EXPECT_EQ(response(screen("lower.txt")), padded(reply)) << screen("lower.txt").text();
    EXPECT_EQ(response(screen("upper.txt")), padded(reply)) << screen("upper.txt").text();
    // Row 19 keeps the line as typed, lower case included.
    EXPECT_EQ(screen("lower.txt").at(3, kLastCommandRow, 20), padded("Command :r1234", 20));
    EXPECT_EQ(response(screen("long.txt")), padded("Error")) << screen("long.txt").text();
    EXPECT_EQ(screen("long.txt").at(12, kCommandRow, 20), std::string(20, ' '));
}

TEST_F(CommandEntry, EmptyLineIsRefusedAndRepeatReplaysIt)
{
    start_simulator();
    HeadlessScript script = started();
    script.key("Enter").until(kResponseRow, "Error").screen("empty.txt");
    // Esc redraws the screen without the error (the frame's labels come first,
    // then the page, whose rows are read again); the empty line stays the last command.
    script.key("Esc").until(kResponseRow, "Response:$").until(3, "0000 00 ").screen("restarted.txt");
    script.text("R80").until(kCommandRow, "Command :R80").screen("typed.txt");
    script.key("F12").until(kResponseRow, "Error").screen("repeated.txt").close();
    EXPECT_EQ(run(script), 0);

    EXPECT_EQ(response(screen("empty.txt")), padded("Error")) << screen("empty.txt").text();
    EXPECT_EQ(response(screen("restarted.txt")), padded("")) << screen("restarted.txt").text();
    EXPECT_EQ(screen("typed.txt").at(12, kCommandRow, 5), "R80  ");
    const ScreenCapture repeated = screen("repeated.txt");
    EXPECT_EQ(response(repeated), padded("Error")) << repeated.text();
    // The replayed line replaced the typed one; nothing was sent for either.
    // The only other request is the resynchronising read (four digits, then
    // a code 10-1E) that proves the line reopened by Esc in step.
    EXPECT_EQ(repeated.at(12, kCommandRow, 5), "     ");
    EXPECT_EQ(repeated.at(3, kLastCommandRow, 15), padded("Command :", 15));
    const std::vector<std::string> others = log().received_except_rows_of();
    EXPECT_LE(others.size(), 1u) << log().dump();
    for (const std::string& hex : others)
        EXPECT_TRUE(hex.size() == 14 && hex.substr(12) >= "10" && hex.substr(12) <= "1E") << hex;
}

TEST_F(CommandEntry, RepeatSendsTheLastEnteredLineAgain)
{
    start_simulator({"--fill", "1230=00"});
    HeadlessScript script = started();
    script.command_done("s12300").screen("first.txt");
    // Typed but not entered: F12 replaces it with the last entered line. Once
    // the command row is empty the repeat has begun, so the next F12 counts.
    script.text("R9").until(kCommandRow, "Command :R9").key("F12").until(kCommandRow, "Command :$");
    // This repeat leaves the screen as it was: the script goes on once the
    // board has the request, and the line stands on the command row until the end.
    script.key("F12").await(kGoOn).until(kCommandRow, "Command :$").screen("third.txt").close();
    EXPECT_EQ(run_when(script, [&] { return log().count_received("31 32 33 30 30 21") >= 3; }), 0);
    const std::vector<std::string> expected(3, "31 32 33 30 30 21");
    EXPECT_EQ(log().received_except_rows_of(), expected) << log().dump();
    EXPECT_EQ(response(screen("first.txt")), padded("01"));
    const ScreenCapture third = screen("third.txt");
    EXPECT_EQ(response(third), padded("01")) << third.text();
    // Row 19 shows the replayed line as it stood on the command row.
    EXPECT_EQ(third.at(3, kLastCommandRow, 20), padded("Command :s12300", 20));
    EXPECT_EQ(third.at(12, kCommandRow, 10), std::string(10, ' '));
}

// A pasted line is taken whole in the cycle it arrives in, not one key per
// main-loop cycle: between the command before and this one the board sees a
// few dump row reads, where one key per cycle would have made 38.
TEST_F(CommandEntry, ALinePastedAtOnceIsTakenInOneCycle)
{
    start_simulator();
    const std::string data = "00112233445566778899AABBCCDDEEFF";
    const std::string line = "W8000" + data;  // 37 bytes
    HeadlessScript script = started();
    script.command_done("I12");
    script.text(line).key("Enter").until(kLastCommandRow, "Command :" + line).until(kCommandRow, "Command :$").close();
    EXPECT_EQ(run(script), 0);

    const std::vector<std::string> received = log().received();
    const auto port_read = std::find(received.begin(), received.end(), request_hex("12", 0x23));
    const auto write = std::find(received.begin(), received.end(), request_hex("8000" + data, 0x0F));
    ASSERT_NE(port_read, received.end()) << log().dump();
    ASSERT_NE(write, received.end()) << log().dump();
    EXPECT_LT(write - port_read - 1, 10) << log().dump();
}

TEST_F(CommandEntry, BitNumbersAndWriteDataAreChecked)
{
    start_simulator({"--fill", "1000=FF"});
    HeadlessScript script = started();
    const std::vector<std::string> lines{"S10008", "S10007", "W100041", "W1000414", "W1000:", "W1000:Z", "W1000:ab"};
    for (std::size_t i = 0; i < lines.size(); ++i)
        script.command_done(lines[i]).screen("after" + std::to_string(i) + ".txt");
    script.close();
    EXPECT_EQ(run(script), 0);

    // Only the accepted lines went out, in order, each exactly once.
    const std::vector<std::string> expected{
        "31 30 30 30 37 21",           // S10007
        "31 30 30 30 34 31 00",        // W100041: one data byte, code 00
        "31 30 30 30 35 41 00",        // W1000:Z: "Z" as 5A
        "31 30 30 30 34 31 34 32 01",  // W1000:ab: upper-cased, two bytes, code 01
    };
    const RequestLog requests = log();
    EXPECT_EQ(requests.received_except_rows_of(), expected) << requests.dump();

    // Refused lines show "Error"; accepted ones the board's answer (the byte(s) after the operation).
    const std::vector<std::string> shown{"Error", "FF", "41", "Error", "Error", "5A", "4142"};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const ScreenCapture after = screen("after" + std::to_string(i) + ".txt");
        EXPECT_EQ(response(after), padded(shown[i])) << lines[i] << "\n" << after.text();
        EXPECT_EQ(after.at(12, kCommandRow, 10), std::string(10, ' ')) << lines[i];
    }
}

TEST_F(CommandEntry, UnknownLetterWaitsForTheTimeOutAndSendsNothing)
{
    start_simulator();
    HeadlessScript script = started();
    script.command_done("X12").screen("x.txt").close();
    EXPECT_EQ(run(script), 0);
    EXPECT_EQ(response(screen("x.txt")), padded("Error")) << screen("x.txt").text();
    EXPECT_EQ(log().received_except_rows_of(), std::vector<std::string>{});
}

TEST_F(CommandEntry, LineKeepsThirtySevenBytesAndBackspaceRemovesOne)
{
    start_simulator();
    // "W1000" and 16 data bytes fill the 37 bytes; a 38th digit would make
    // the data odd, so the request shows which bytes were taken.
    const std::string full = "W1000" + std::string("0102030405060708090A0B0C0D0E0F10");
    ASSERT_EQ(full.size(), 37U);
    HeadlessScript script = started();
    // The 38th byte may show until the next key step drops it: the row is
    // captured once it ends with the 37 bytes.
    script.text(full + "7").until(kCommandRow, full + "$").screen("typed.txt");
    script.key("Enter").until(kResponseRow, "Response:0102030405060708090A0B0C0D0E0F10").screen("sent.txt");
    script.text("R12344").key("Backspace").key("Enter").until(kResponseRow, "Response:" + std::string(32, '0'));
    script.screen("backspace.txt").close();
    EXPECT_EQ(run(script), 0);

    // The 38th byte is neither shown nor kept.
    EXPECT_EQ(screen("typed.txt").at(12, kCommandRow, 40), full + "   ") << screen("typed.txt").text();
    const std::string full_hex = request_hex(full.substr(1), 0x0F);
    const std::vector<std::string> expected{full_hex, "31 32 33 34 1F"};
    EXPECT_EQ(log().received_except_rows_of(), expected) << log().dump();
    EXPECT_EQ(response(screen("sent.txt")), padded("0102030405060708090A0B0C0D0E0F10"))
        << screen("sent.txt").text();
}

TEST_F(CommandEntry, ConsoleEditingKeysAreTypedIntoTheLine)
{
    start_simulator();
    HeadlessScript script = started();
    // Left arrow, Home and Delete arrive as characters of their own, so the
    // hexadecimal check refuses each line.
    for (const char* key : {"Left", "Home", "Delete"}) {
        script.text("R8000").key(key).until(kCommandRow, "Command :R8000").key("Enter");
        script.until(kCommandRow, "Command :$").screen(std::string(key) + ".txt");
    }
    script.close();
    EXPECT_EQ(run(script), 0);
    for (const char* key : {"Left", "Home", "Delete"})
        EXPECT_EQ(response(screen(std::string(key) + ".txt")), padded("Error")) << key;
    EXPECT_EQ(log().received_except_rows_of(), std::vector<std::string>{}) << log().dump();
}

}  // namespace
}  // namespace qk14_e2e
