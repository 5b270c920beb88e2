// Qk14 on the headless front end against the Z80 firmware running on simh:
// the dump page, every command letter, a watch page, the change list and log
// of the byte the firmware counts by itself, and a simulator that is killed
// and started again on the same link.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

#include "tests/qk14_e2e/qk14_e2e_fixture.h"
#include "tests/support/simh_z80_board.h"

namespace qk14_e2e {
namespace {

using qk_test::SimhZ80Board;

class Qk14OnZ80 : public Qk14EndToEnd {
protected:
    // Starts (or starts again) the firmware on the link qk14 opens.
    void start_board()
    {
        board_.reset();
        board_.emplace(directory_, port());
    }

    // The dump row at `address` as the page shows the firmware image's bytes.
    static std::string image_row(std::uint16_t address)
    {
        std::ifstream file(SimhZ80Board::image(), std::ios::binary);
        const std::string image((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        char text[8];
        std::snprintf(text, sizeof text, "%04X ", address);
        std::string row = text;
        for (std::size_t i = address; i < address + 16u; ++i) {
            const unsigned byte = i < image.size() ? static_cast<unsigned char>(image[i]) : 0u;
            std::snprintf(text, sizeof text, "%02X ", byte);
            row += text;
        }
        return row;
    }

    std::string clock() const { return live().at(71, 0, 8); }
    bool clock_shows_time() const
    {
        const std::string shown = clock();
        return shown.size() == 8 && shown[2] == ':' && shown[5] == ':';
    }

    std::optional<SimhZ80Board> board_;
};

std::string response(const ScreenCapture& screen) { return screen.at(12, 20, 32); }
std::string padded(std::string text)
{
    text.resize(32, ' ');
    return text;
}

TEST_F(Qk14OnZ80, DumpPageFillsWithTheFirmwaresCode)
{
    start_board();
    HeadlessScript script = started(image_row(0).substr(0, 11));
    script.until(18, image_row(0xF0)).screen("page.txt").close();
    EXPECT_EQ(run(script), 0);
    const ScreenCapture page = screen("page.txt");
    for (int row = 0; row < 16; ++row)
        EXPECT_EQ(page.at(1, 3 + row, 53), image_row(static_cast<std::uint16_t>(row * 16))) << page.text();
}

TEST_F(Qk14OnZ80, EveryCommandLetterActsOnTheSimulatedMachine)
{
    start_board();
    // Memory from 8000h is free RAM; port 51h reads back what was written.
    const std::vector<std::pair<std::string, std::string>> commands{
        {"W8000:QK", "514B"},
        {"W80100102030405", "0102030405"},
        {"R8000", "514B" + std::string(28, '0')},
        {"S80001", "53"},
        {"C80000", "52"},
        {"R8000", "524B" + std::string(28, '0')},
        {"R8010", "0102030405" + std::string(22, '0')},
        {"O51A5", "A5"},
        {"I51", "A5"},
        {"H513", "AD"},
        {"L510", "AC"},
        {"I51", "AC"},
    };
    HeadlessScript script = started(image_row(0).substr(0, 11));
    for (std::size_t i = 0; i < commands.size(); ++i)
        script.command_done(commands[i].first).screen("command" + std::to_string(i) + ".txt");
    script.close();
    EXPECT_EQ(run(script), 0);
    for (std::size_t i = 0; i < commands.size(); ++i) {
        const ScreenCapture shown = screen("command" + std::to_string(i) + ".txt");
        EXPECT_EQ(response(shown), padded(commands[i].second)) << commands[i].first << "\n" << shown.text();
    }
}

TEST_F(Qk14OnZ80, WatchPageShowsEveryFormat)
{
    directory_.write("QK.DEF", "CH=0\r\nF3=FMT\r\n");
    directory_.write("FMT.DAT",
                     "2,3,HEX,80000,H\r\n"
                     "2,4,BITS,80001,B\r\n"
                     "2,5,DEC,80001,D\r\n"
                     "2,6,WORDQ,80022,Q\r\n"
                     "2,7,WORDW,80022,W\r\n"
                     "2,8,PORT,I51,H\r\n"
                     "2,9,OTHER,80001,X\r\n");
    start_board();
    HeadlessScript script = started(image_row(0).substr(0, 11));
    script.command_done("W8000A5003412").command_done("O515A").key("F3").until(8, "I51....H 5A");
    capture_series(script, "fmt", 3, 300).close();
    EXPECT_EQ(run(script), 0);
    const ScreenSeries fmt(directory_, "fmt");
    ASSERT_EQ(fmt.size(), 3U);
    auto expect_shown = [&](int row, const std::string& expected) {
        EXPECT_EQ(fmt.at(2, row, expected), expected) << fmt.last().text();
    };
    expect_shown(3, "HEX   8000.0.H A5003412" + std::string(24, '0') + "   ");
    expect_shown(4, "BITS  8000.1.B 10100101  ");
    expect_shown(5, "DEC   8000.1.D 165 d");
    expect_shown(6, "WORDQ 8002.2.Q  4660 d");
    expect_shown(7, "WORDW 8002.2.W  1234 h");
    expect_shown(8, "PORT  I51....H 5A   ");
    expect_shown(9, "OTHER 8000.1.X      ");
}

// The firmware counts the byte at FF00h up by itself: the change list shows
// its new values and the log file has them, one line each, in order.
TEST_F(Qk14OnZ80, ChangeListAndLogFollowTheFirmwaresCounter)
{
    directory_.write("abc.DAT", "2,3,CNT,FF001,H\r\n");
    start_board();
    HeadlessScript script = started(image_row(0).substr(0, 11));
    script.key("F11").until(kPromptRow, kFilePrompt).text("abc/D").key("Enter");
    // The list grows upwards from row 16: five changes by row 12.
    script.until(12, "CNT").screen("logging.txt").close();
    EXPECT_EQ(run(script), 0);

    const ScreenCapture logging = screen("logging.txt");
    static const std::regex kRow(R"(^ *\d+ \d\d/\d\d/\d\d \d\d:\d\d:\d\d CNT ([0-9A-F]{2}) *$)");
    std::vector<int> listed;
    for (int row = 2; row <= 18; ++row) {
        std::smatch m;
        const std::string text = logging.row(row);
        if (std::regex_match(text, m, kRow))
            listed.push_back(std::stoi(m[1], nullptr, 16));
    }
    ASSERT_GE(listed.size(), 5U) << logging.text();

    static const std::regex kLine(R"(^\d{4},\d\d/\d\d/\d\d,\d\d:\d\d:\d\d,([0-9A-F]{2})\r$)");
    std::vector<int> logged;
    std::istringstream file(directory_.read("abc.DAS"));
    for (std::string line; std::getline(file, line);) {
        if (line == "\x1a")
            continue;
        std::smatch m;
        ASSERT_TRUE(std::regex_match(line, m, kLine)) << "not a log line: " << line;
        logged.push_back(std::stoi(m[1], nullptr, 16));
    }
    ASSERT_GE(logged.size(), 5U) << directory_.read("abc.DAS");
    // Each change moves the counter on by a few counts (wrapping at 256).
    for (std::size_t i = 1; i < logged.size(); ++i) {
        const int step = (logged[i] - logged[i - 1] + 256) % 256;
        EXPECT_TRUE(step >= 1 && step <= 32) << logged[i - 1] << " then " << logged[i];
    }
    // The list on screen is the newest part of the log, newest at the bottom.
    ASSERT_LE(listed.size(), logged.size());
    for (std::size_t i = 0; i < listed.size(); ++i)
        EXPECT_EQ(listed[i], logged[logged.size() - listed.size() + i]) << i;
}

TEST_F(Qk14OnZ80, ReconnectsWhenTheSimulatorIsKilledAndStartedAgain)
{
    directory_.write("QK.DEF", "CH=0\r\nAD=FF00\r\n");
    start_board();
    HeadlessScript script;
    script.live("live.txt").await("done").close();
    Qk14Process program(directory_, script);
    // The counter at FF00h moves on the first dump row.
    auto counter_moves = [&] {
        std::string first;
        return wait_until([&] {
            const std::string shown = live().at(1, 3, 8);
            if (!std::regex_match(shown, std::regex("FF00 [0-9A-F]{2} ")) || !clock_shows_time())
                return false;
            if (first.empty())
                first = shown;
            return shown != first;
        });
    };
    ASSERT_TRUE(counter_moves()) << live().text();

    board_->kill();
    EXPECT_TRUE(wait_until([&] { return clock() == "Error   "; })) << live().text();
    EXPECT_TRUE(program.running()) << program.standard_error();

    start_board();
    EXPECT_TRUE(counter_moves()) << "after the restart: " << live().text();
    directory_.write("done", "");
    EXPECT_EQ(program.finish(60s), 0) << program.standard_error();
}

}  // namespace
}  // namespace qk14_e2e
