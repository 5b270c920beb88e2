// Replies stay in step with their requests after a faulty reply: a reply
// that comes after its wait gave up, a NUL inside a reply, line noise after
// one, a 100 000-byte reply, and a board that stops for 3 s. Bytes waiting
// when a request is sent are dropped, so within one refresh cycle every dump
// row shows its own address's bytes again; a reply is kept to 32 digits, so
// nothing spills over the rows below the dump.
#include <unistd.h>

#include <thread>

#include "tests/qk14_e2e/qk14_e2e_fixture.h"
#include "tests/support/replies_in_step.h"
#include "tests/qk14_e2e/tmux_session.h"
#include "tools/target-sim/hex_text.h"

namespace qk14_e2e {
namespace {

class RepliesInStep : public Qk14EndToEnd {
protected:
    // Row k of the page (address k * 16) starts with the byte Ak.
    static std::vector<std::string> row_fills()
    {
        std::vector<std::string> options;
        for (int k = 0; k < 16; ++k) {
            const char digit = sim::hex_digit(static_cast<unsigned>(k));
            options.insert(options.end(), {"--fill", std::string("00") + digit + "0=A" + digit});
        }
        return options;
    }

    void start(std::vector<std::string> faults)
    {
        std::vector<std::string> options = row_fills();
        options.insert(options.end(), faults.begin(), faults.end());
        start_simulator(options);
        const std::string command = "cd " + shell_quoted(directory_.path().string()) +
                                    " && XDG_CONFIG_HOME=config TERM=tmux-256color " + shell_quoted(QK14_PATH) +
                                    " --ui tty --port COM1=" + shell_quoted((directory_ / "tty").string()) +
                                    "; echo qk14-exit=$?; sleep 60";
        tmux_.emplace("qk14_step_" + std::to_string(::getpid()), command);
    }

    // Every dump row shows its own first byte, and the rows below are intact.
    bool rows_in_step() const
    {
        const std::vector<std::string> rows = tmux_->rows();
        if (rows.size() < 24)
            return false;
        for (int k = 0; k < 16; ++k) {
            const char digit = sim::hex_digit(static_cast<unsigned>(k));
            if (rows[static_cast<std::size_t>(3 + k)].find(std::string("00") + digit + "0 A" + digit) ==
                std::string::npos)
                return false;
        }
        return rows[20].find("Response:") != std::string::npos && rows[22].find("F1=256dump") != std::string::npos;
    }

    // Waits up to 60 s for every row to be in step.
    bool rows_come_in_step() const { return tmux_->wait_for([&] { return rows_in_step(); }, 60s); }

    std::optional<TmuxSession> tmux_;
};

TEST_F(RepliesInStep, AfterALateReplyANulInsideOneAndNoiseAfterOne)
{
    if (!TmuxSession::available())
        GTEST_SKIP() << "tmux is not installed";
    for (const std::vector<std::string>& fault : {std::vector<std::string>{"--fault", "late:2000"},
                                                  std::vector<std::string>{"--fault", "nul"},
                                                  std::vector<std::string>{"--fault", "noise:500"}}) {
        SCOPED_TRACE(fault[1]);
        tmux_.reset();
        std::vector<std::string> faults = fault;
        faults.insert(faults.end(), {"--faulty-replies", "1"});
        start(faults);
        EXPECT_TRUE(rows_come_in_step()) << tmux_->capture();
    }
}

TEST_F(RepliesInStep, AHugeReplyIsCutToItsRow)
{
    if (!TmuxSession::available())
        GTEST_SKIP() << "tmux is not installed";
    start({"--unpaced", "--fault", "oversize:100000", "--faulty-replies", "1"});
    EXPECT_TRUE(rows_come_in_step()) << tmux_->capture();
    const std::vector<std::string> rows = tmux_->rows();
    ASSERT_GE(rows.size(), 24u);
    EXPECT_EQ(rows[19].find("Command :"), 3u) << rows[19];
    EXPECT_EQ(rows[21].find("Command :"), 3u) << rows[21];
}

TEST_F(RepliesInStep, AfterTheBoardStopsForThreeSeconds)
{
    if (!TmuxSession::available())
        GTEST_SKIP() << "tmux is not installed";
    start({});
    EXPECT_TRUE(rows_come_in_step()) << tmux_->capture();
    simulator_->pause();
    EXPECT_TRUE(tmux_->wait_for([&] { return tmux_->rows().front().find("Error") != std::string::npos; }, 30s))
        << tmux_->capture();
    // The stall itself: the rows' requests queue up on the stopped board.
    std::this_thread::sleep_for(3s);
    simulator_->resume();
    EXPECT_TRUE(rows_come_in_step()) << tmux_->capture();
    EXPECT_TRUE(tmux_->wait_for([&] { return tmux_->rows().front().find("Error") == std::string::npos; }, 30s));
}

// Watch values and the change log on the headless front end (the shared
// scenarios of both monitors).
class FaultyBoard : public qk_test::RepliesInStepEndToEnd {
protected:
    FaultyBoard() : RepliesInStepEndToEnd(qk14_under_test()) {}
};

TEST_F(FaultyBoard, DumpRowsNeverShowAnotherAddressesBytes)
{
    using namespace qk_test;
    for (const BoardFault& fault : {late_reply(1500), every_reply_late(1500), nul_inside_reply(), short_reply(),
                                    garbled_reply(), noise_after_reply(), huge_reply(), three_second_stall()})
        EXPECT_TRUE(dump_rows_in_step_after(fault));
}

TEST_F(FaultyBoard, WatchValuesShowTheirOwnAddressesAgain)
{
    using namespace qk_test;
    for (const BoardFault& fault : {late_reply(400), every_reply_late(400), nul_inside_reply(), short_reply(),
                                    garbled_reply(), noise_after_reply(), huge_reply(), three_second_stall()})
        EXPECT_TRUE(watch_values_in_step_after(fault));
}

// The change log file: every line logged, the ones on screen among them.
class FaultyBoardLogging : public FaultyBoard {
protected:
    // The changes logged (number, value); each one shown is logged alike.
    std::map<int, std::string> log_file_after(const qk_test::BoardFault& fault)
    {
        const std::map<int, std::string> shown = change_list_after(fault, "L/D");
        SCOPED_TRACE(fault.name);
        std::map<int, std::string> logged;
        // Number, date and time, then the value (matched apart: it may be long).
        static const std::regex kHead(R"((\d{4}),\d\d/\d\d/\d\d,\d\d:\d\d:\d\d,)");
        constexpr std::size_t kHeadLength = 23;
        const std::string text = directory_.read("L.DAS");
        for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
            std::smatch m;
            const std::string line = text.substr(start, end - start);
            const std::string head = line.substr(0, kHeadLength);
            if (std::regex_match(head, m, kHead))
                logged[std::stoi(m[1])] = line.substr(kHeadLength);
            else
                ADD_FAILURE() << "not a log line: " << line.substr(0, 80);
        }
        for (const auto& [number, value] : shown)
            EXPECT_EQ(logged[number], value) << "change " << number;
        return logged;
    }
};

// The rest of a NUL-cut or noisy reply to a read typed while logging; a huge reply.
TEST_F(FaultyBoardLogging, ChangeLogHoldsOnlyTheWatchedAddressesValues)
{
    for (const qk_test::BoardFault& fault : {qk_test::nul_inside_reply(), qk_test::short_reply(),
                                             qk_test::garbled_reply(), qk_test::noise_after_reply(),
                                             qk_test::huge_reply()})
        EXPECT_TRUE(values_of_the_watched_address(log_file_after(fault), fault));
}

// A reply that came while the F11 prompt waited: late, or held up by a stall.
TEST_F(FaultyBoardLogging, ChangeLogSkipsRepliesThatCameWhileThePromptWaited)
{
    for (const qk_test::BoardFault& fault : {qk_test::late_reply(1500), qk_test::three_second_stall()})
        EXPECT_TRUE(values_of_the_watched_address(log_file_after(fault), fault));
}

}  // namespace
}  // namespace qk14_e2e
