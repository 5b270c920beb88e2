// QkP877W end to end against the PIC16F877 firmware (firmware/pic16f877)
// running on gpsim's simulated CPU through gpsim-bridge: the dump pages show
// the register file of all four banks, each command letter gets the
// firmware's reply and effect, watch values in every format, the change list
// of the count the firmware's timer keeps, and a bridge restarted at the same
// link is served again.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "tests/qkp877w_e2e/qkp877w_e2e_fixture.h"
#include "tests/support/gpsim_bridge.h"
#include "tests/support/monitor_process.h"
#include "tests/support/wait_until.h"

namespace {

using namespace std::chrono_literals;
using qk_test::HeadlessScript;

class PicFirmwareEndToEnd : public qkp877w_e2e::QkP877WEndToEnd {
protected:
    // The firmware on gpsim, replacing (and stopping) the bridge before.
    void start_bridge()
    {
        bridge_.reset();
        bridge_.emplace(directory_);
    }

    // The dump byte `index` (0-15) of the screen row that shows `address`.
    static std::string dump_byte(const std::vector<std::string>& screen, int row, int index)
    {
        return screen[static_cast<std::size_t>(row)].substr(static_cast<std::size_t>(6 + 3 * index), 2);
    }
    static std::string response(const std::vector<std::string>& screen)
    {
        const std::string& row = screen[20];
        const std::size_t end = row.find_last_not_of(' ');
        return end < 12 ? std::string() : row.substr(12, end - 11);
    }

    std::optional<qk_test::GpsimBridge> bridge_;
};

// The pids of the children of `pid` (from /proc).
std::vector<int> children_of(int pid)
{
    std::vector<int> children;
    const std::filesystem::path tasks = "/proc/" + std::to_string(pid) + "/task";
    std::error_code ignored;
    for (const auto& task : std::filesystem::directory_iterator(tasks, ignored)) {
        std::ifstream list(task.path() / "children");
        for (int child = 0; list >> child;)
            children.push_back(child);
    }
    return children;
}

bool process_gone(int pid)
{
    // A zombie left to an init that does not reap is gone too.
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const std::size_t name_end = text.rfind(')');
    return text.empty() || (name_end != std::string::npos && text.compare(name_end + 2, 1, "Z") == 0);
}

TEST_F(PicFirmwareEndToEnd, DumpPagesShowAllFourBanksAndEveryCommandLetterGetsTheFirmwaresReply)
{
    start_bridge();
    HeadlessScript script;
    // Page 000: T1CON as the firmware set it (prescaler 1:8, on), then bank 1
    // through unimplemented 08F and on to its last rows.
    script.until(4, "0010 31 00 00").until(11, "0080 00 FF").until(17, "00E0 00 00").screen("page0.txt");
    script.key("Down").until(3, "0100 00 00").until(11, "0180 00 FF").until(18, "01F0").screen("page1.txt");
    script.key("Up").until(3, "0000 00");
    const std::vector<std::string> commands{"W00305A", "S00307", "C00301", "R0030",  "W0130A5C3", "R0130",
                                            "W0040:OK", "I12",  "O1234",  "H121",   "L120"};
    for (std::size_t i = 0; i < commands.size(); ++i)
        script.command_done(commands[i]).screen("command" + std::to_string(i) + ".txt");
    script.until(6, "0030 D8").screen("after.txt").close();
    ASSERT_EQ(run(script), 0) << directory_.read("bridge.err");

    const auto page0 = rows("page0.txt");
    EXPECT_EQ(page0[4].substr(1, 13), "0010 31 00 00") << "T1CON as the firmware set it";
    EXPECT_EQ(dump_byte(page0, 4, 8), "90") << "RCSTA: serial port and receiver on";
    EXPECT_EQ(page0[11].substr(1, 10), "0080 00 FF") << "INDF reads 0; OPTION_REG at reset";
    EXPECT_EQ(dump_byte(page0, 11, 7), "BF") << "TRISC: RC6/TX an output";
    EXPECT_EQ(dump_byte(page0, 11, 15), "00") << "unimplemented 08F reads 0";
    EXPECT_EQ(page0[18].substr(1, 4), "00F0");
    // Banks 2 and 3 through IRP: TMR0 at 101, OPTION_REG at 181, TRISB at 186.
    const auto page1 = rows("page1.txt");
    EXPECT_EQ(page1[3].substr(1, 10), "0100 00 00");
    EXPECT_EQ(page1[11].substr(1, 10), "0180 00 FF");
    EXPECT_EQ(dump_byte(page1, 11, 6), "FF");
    EXPECT_EQ(dump_byte(page1, 11, 5), "00") << "unimplemented 185 reads 0";

    const std::vector<std::string> expected{
        "5A",                         // W: the byte read back
        "DA",                         // S: bit 7 set
        "D8",                         // C: bit 1 cleared
        "D8" + std::string(30, '0'),  // R: 16 bytes from 030
        "A5C3",                       // W in bank 2
        "A5C3" + std::string(28, '0'),
        "4F4B",                       // W with text
        "",                           // I, O, H, L: no port commands on this board, no reply
        "",
        "",
        "",
    };
    for (std::size_t i = 0; i < commands.size(); ++i) {
        const auto screen = rows("command" + std::to_string(i) + ".txt");
        EXPECT_EQ(screen[19].substr(3, 9 + commands[i].size()), "Command :" + commands[i]);
        EXPECT_EQ(response(screen), expected[i]) << commands[i];
    }
    const auto after = rows("after.txt");
    EXPECT_EQ(dump_byte(after, 6, 0), "D8");
    EXPECT_EQ(dump_byte(after, 7, 0), "4F");
    EXPECT_EQ(dump_byte(after, 7, 1), "4B");
}

TEST_F(PicFirmwareEndToEnd, WatchPageInEachFormatAndTheChangeListOfTheFirmwaresTimerCount)
{
    directory_.write("V.DAT", "2,4,HEX,00402,H\r\n2,5,BIN,00401,B\r\n2,6,DEC,00401,D\r\n"
                              "2,7,QWD,00402,Q\r\n2,8,WWD,00402,W\r\n");
    directory_.write("T.DAT", "2,4,TICKS,00201,H\r\n");
    start_bridge();
    HeadlessScript script;
    script.until(3, "0000 00").command_done("W00403C5A");
    script.key("F10").until(3, "File Name(*.DAT):").text("V").key("Enter").until(8, "5A3C h").screen("watch.txt");
    // The firmware counts Timer1 overflows at 020: three changes listed.
    script.key("F1").until(3, "0000 00");
    script.key("F11").until(3, "File Name(*.DAT):").text("T").key("Enter");
    script.until(14, "TICKS").until(15, "TICKS").until(16, "TICKS").screen("changes.txt").close();
    ASSERT_EQ(run(script), 0) << directory_.read("bridge.err");

    const auto watch = rows("watch.txt");
    EXPECT_NE(watch[4].find("3C5A"), std::string::npos) << watch[4];
    EXPECT_NE(watch[5].find("00111100"), std::string::npos) << watch[5];
    EXPECT_NE(watch[6].find(" 60 d"), std::string::npos) << watch[6];
    EXPECT_NE(watch[7].find(" 23100 d"), std::string::npos) << watch[7];  // 5A3C, the first byte the low one
    EXPECT_NE(watch[8].find(" 5A3C h"), std::string::npos) << watch[8];

    // Consecutive counts, the newest at the bottom.
    const auto changes = rows("changes.txt");
    std::vector<int> counts;
    for (int row = 14; row <= 16; ++row) {
        const std::string& text = changes[static_cast<std::size_t>(row)];
        const std::size_t label = text.find("TICKS");
        ASSERT_NE(label, std::string::npos) << changes[static_cast<std::size_t>(row)];
        counts.push_back(std::stoi(text.substr(label + 5), nullptr, 16));
    }
    EXPECT_EQ(counts[1], counts[0] + 1) << changes[14] << "\n" << changes[15];
    EXPECT_EQ(counts[2], counts[1] + 1) << changes[15] << "\n" << changes[16];
}

TEST_F(PicFirmwareEndToEnd, ABridgeRestartedAtTheSameLinkIsServedAgain)
{
    start_bridge();
    HeadlessScript script;
    script.live("live.txt").until(3, "0000 00").command_done("W0030A5").until(6, "0030 A5");
    script.await("reconnected").command_done("W00307E").until(6, "0030 7E").screen("after.txt").close();
    qk_test::MonitorProcess program(directory_, monitor_, script);

    ASSERT_TRUE(qk_test::wait_until([&] { return live().at(1, 6, 7) == "0030 A5"; })) << live().text();
    // Stopping the bridge ends its gpsim too.
    const std::vector<int> simulators = children_of(bridge_->process().pid());
    ASSERT_EQ(simulators.size(), 1u);
    bridge_.reset();
    EXPECT_TRUE(qk_test::wait_until([&] { return process_gone(simulators[0]); }, 10s));

    // A fresh PIC: the byte written before is gone once QkP877W reads again.
    start_bridge();
    EXPECT_TRUE(qk_test::wait_until([&] {
        const std::string shown = live().at(1, 6, 7);
        return shown.starts_with("0030 ") && shown != "0030 A5";
    })) << live().text();
    directory_.write("reconnected", "");
    ASSERT_EQ(program.finish(90s), 0) << program.standard_error();
    const auto after = rows("after.txt");
    EXPECT_EQ(response(after), "7E");
    EXPECT_EQ(dump_byte(after, 6, 0), "7E");
}

}  // namespace
