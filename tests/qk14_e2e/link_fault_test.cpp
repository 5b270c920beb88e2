// A target that does not answer, answers late, or stops for a while:
// "Error" for commands, "Error   " in the clock position for background
// polling, frozen rows, late replies never taken by a later request
// (resynchronising reads of 1, 2, 3... bytes prove the line in step first),
// recovery.
#include "tests/qk14_e2e/qk14_e2e_fixture.h"

namespace qk14_e2e {
namespace {

class LinkFault : public Qk14EndToEnd {};

const std::string kDashes = " -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- --";

TEST_F(LinkFault, SilentTargetShowsErrorForCommandsAndInTheClock)
{
    start_simulator({"--fault", "silent"});
    HeadlessScript script;
    // Every key waits for one timed-out row read (about 1.3 s) before it is taken.
    script.until(0, "Error").until(18, kDashes).screen("polling.txt");
    script.command("R8000").until(20, "Error").screen("command.txt").close();
    EXPECT_EQ(run(script), 0);

    const ScreenCapture polling = screen("polling.txt");
    EXPECT_EQ(polling.at(71, 0, 8), "Error   ") << polling.text();
    for (int row = 3; row <= 18; ++row)
        EXPECT_EQ(polling.at(5, row, 48), kDashes) << "row " << row;
    const ScreenCapture command = screen("command.txt");
    EXPECT_EQ(command.at(12, 20, 10), "Error     ") << command.text();
    EXPECT_EQ(command.at(71, 0, 8), "Error   ");
    // After the first row's wait gave up only resynchronising reads go out,
    // each a length of its own; the typed read waits for one to be answered.
    const std::vector<std::string> requests = log().received_except_rows_of();
    ASSERT_GE(requests.size(), 2u) << log().dump();
    EXPECT_EQ(requests[0], request_hex("0000", 0x10));
    EXPECT_EQ(requests[1], request_hex("0000", 0x11));
    EXPECT_EQ(log().count_received(request_hex("8000", 0x1F)), 0) << log().dump();
}

TEST_F(LinkFault, WatchRefreshStopsAtTheFirstUnansweredEntry)
{
    directory_.write("QK.DEF", "CH=0\r\nF2=P\r\n");
    directory_.write("P.DAT", "2,3,A,80001,H\r\n2,4,B,80011,H\r\n");
    start_simulator({"--fault", "silent"});
    HeadlessScript script;
    // The first row read has failed by the time the clock shows it. The page
    // stays as drawn: the script ends once the board has had five
    // resynchronising reads (the watch value itself waits for one to be answered).
    script.until(0, "Error").key("F2").await(kGoOn).screen("page.txt").close();
    auto resyncs = [&] {
        int count = 0;
        for (int code = 0x10; code <= 0x1E; ++code)
            count += log().count_received(request_hex("0000", code));
        return count;
    };
    EXPECT_EQ(run_when(script, [&] { return resyncs() >= 5; }), 0);
    const ScreenCapture page = screen("page.txt");
    EXPECT_EQ(page.at(71, 0, 8), "Error   ") << page.text();
    EXPECT_EQ(page.at(2, 3, 14), "A 8000.1.H    ");
    EXPECT_EQ(page.at(2, 4, 14), "B 8001.1.H    ");
    // No entry is asked for while the line is unproven.
    const RequestLog requests = log();
    EXPECT_GE(resyncs(), 5) << requests.dump();
    EXPECT_EQ(requests.count_received("38 30 30 30 10"), 0);
    EXPECT_EQ(requests.count_received("38 30 30 31 10"), 0);
}

TEST_F(LinkFault, LateReplyIsNeverTakenAsTheNextRowsReply)
{
    // The first two replies start 2 s after their requests, later than the
    // row read waits; then the board answers at once.
    start_simulator({"--fault", "late:2000", "--faulty-replies", "2", "--fill", "0000=11", "--fill", "0010=22"});
    HeadlessScript script;
    script.until(4, "0010 22 ").screen("late.txt").close();
    EXPECT_EQ(run(script), 0);
    const ScreenCapture late = screen("late.txt");
    // Row 0000's late reply was dropped: it never showed as row 0010's.
    EXPECT_EQ(late.at(1, 4, 53), "0010 22 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 ") << late.text();
    const RequestLog requests = log();
    EXPECT_GE(requests.count_received(request_hex("0000", 0x10)), 1) << requests.dump();
}

TEST_F(LinkFault, RowsFreezeWhileTheTargetIsStoppedAndTheClockRecovers)
{
    start_simulator({"--fill", "0000=A5", "--fill", "00F0=5A"});
    HeadlessScript script;
    // The whole page read; the clock shows "Error" once a row read has failed,
    // and the time again once one has come.
    script.until(18, "00F0 5A ").screen("answering.txt").until(0, "Error").screen("stopped.txt");
    script.until(0, ":").screen("resumed.txt").close();
    Qk14Process program(directory_, script);
    // The board stops answering (its line stays open) between the first two screens
    // and answers again after the second.
    EXPECT_TRUE(wait_for_screen("answering.txt"));
    simulator_->pause();
    EXPECT_TRUE(wait_for_screen("stopped.txt"));
    simulator_->resume();
    EXPECT_EQ(program.finish(90s), 0);

    const ScreenCapture answering = screen("answering.txt");
    EXPECT_EQ(answering.at(1, 3, 8), "0000 A5 ") << answering.text();
    const ScreenCapture stopped = screen("stopped.txt");
    EXPECT_EQ(stopped.at(71, 0, 8), "Error   ") << stopped.text();
    EXPECT_EQ(stopped.at(1, 3, 8), "0000 A5 ") << stopped.text();  // rows keep what they showed
    EXPECT_EQ(stopped.at(1, 18, 8), "00F0 5A ");
    const ScreenCapture resumed = screen("resumed.txt");
    const std::string clock = resumed.at(71, 0, 8);
    EXPECT_TRUE(clock[2] == ':' && clock[5] == ':') << resumed.text();
}

}  // namespace
}  // namespace qk14_e2e
