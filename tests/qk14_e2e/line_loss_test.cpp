// The port goes away and comes back (target-sim's unplug fault): the program
// keeps running, shows what a silent board shows while the line is gone, and
// returns to live values on its own once the port is back; the change log
// stays open and complete. With --no-reconnect a hang-up ends the program
// with error 53 as before.
#include <algorithm>
#include <cstdio>

#include "tests/qk14_e2e/qk14_e2e_fixture.h"
#include "tests/support/change_log_lines.h"
#include "tests/support/scoped_locale.h"

namespace qk14_e2e {
namespace {

class LineLoss : public Qk14EndToEnd {
protected:
    // A script that keeps "live.txt" up to date, plays `keys`, then waits for
    // the test to write "done" before it closes the window.
    static HeadlessScript live_script(const HeadlessScript& keys = {})
    {
        HeadlessScript script;
        script.live("live.txt");
        return HeadlessScript::join(script, keys).await("done").close();
    }

    // Lets a script go on past its "await ready" once the dump page shows rows
    // (the function keys are armed by then).
    void when_running_press_on()
    {
        ASSERT_TRUE(wait_until([&] { return live().at(1, 3, 5) == "0000 " && clock_shows_time(); })) << live().text();
        directory_.write("ready", "");
    }
    bool simulator_logged(const std::string& word) const
    {
        return directory_.read("sim.log").find(' ' + word) != std::string::npos;
    }
    bool clock_shows_error() const { return live().at(71, 0, 8) == "Error   "; }
    bool clock_shows_time() const
    {
        const std::string clock = live().at(71, 0, 8);
        return clock.size() == 8 && clock[2] == ':' && clock[5] == ':';
    }

    // Waits for the unplug, for the given screen state while the line is
    // gone, and for the return; the program must keep running throughout.
    // Returns how long after the return `live_again` took to hold.
    template <class Gone, class Live>
    std::chrono::milliseconds unplug_and_replug(Qk14Process& program, Gone gone, Live live_again)
    {
        EXPECT_TRUE(wait_until([&] { return simulator_logged("UNPLUG"); })) << directory_.read("sim.log");
        EXPECT_TRUE(wait_until([&] { return gone() || simulator_logged("REPLUG"); }));
        EXPECT_TRUE(gone()) << "while the line is gone: " << live().text();
        EXPECT_TRUE(program.running()) << program.standard_error();
        EXPECT_TRUE(wait_until([&] { return simulator_logged("REPLUG"); }));
        const auto returned = std::chrono::steady_clock::now();
        EXPECT_TRUE(wait_until([&] { return live_again(); })) << "after the return: " << live().text();
        const auto recovery = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - returned);
        EXPECT_TRUE(program.running()) << program.standard_error();
        std::printf("recovery after the port's return: %lld ms\n", static_cast<long long>(recovery.count()));
        return recovery;
    }

    void finish_after_report(Qk14Process& program)
    {
        directory_.write("done", "");
        EXPECT_TRUE(program.finish(60s).has_value());
    }

    void finish(Qk14Process& program)
    {
        directory_.write("done", "");
        EXPECT_EQ(program.finish(60s), 0) << program.standard_error();
    }
};

TEST_F(LineLoss, DumpPageShowsErrorWhileTheLineIsGoneAndLiveRowsAfterItsReturn)
{
    start_simulator({"--fill", "0010=5A", "--change", "0000:1:50", "--fault", "unplug:1500:5000"});
    Qk14Process program(directory_, live_script(), {"--trace", "wire.txt"});
    ASSERT_TRUE(wait_until([&] { return live().at(1, 4, 8) == "0010 5A "; })) << live().text();
    std::string frozen;
    unplug_and_replug(
        program,
        [&] {
            frozen = live().at(6, 3, 2);
            return clock_shows_error();
        },
        [&] { return clock_shows_time() && live().at(6, 3, 2) != frozen; });
    finish(program);

    // The trace holds both sides of the line and its loss.
    const std::string trace = directory_.read("wire.txt");
    EXPECT_NE(trace.find(" TX 30 30 31 30 1F  |0010.|"), std::string::npos) << trace.substr(0, 400);
    EXPECT_NE(trace.find(" RX 35 41 30 30"), std::string::npos);
    EXPECT_NE(trace.find("disconnected"), std::string::npos);
    EXPECT_NE(trace.find("connected again"), std::string::npos);
}

TEST_F(LineLoss, WatchPageShowsErrorWhileTheLineIsGoneAndLiveValuesAfterItsReturn)
{
    directory_.write("QK.DEF", "CH=0\r\nF2=P\r\n");
    directory_.write("P.DAT", "2,3,A,80001,H\r\n");
    start_simulator({"--change", "8000:1:50", "--fault", "unplug:1500:5000"});
    HeadlessScript keys;
    keys.await("ready").key("F2");
    Qk14Process program(directory_, live_script(keys));
    when_running_press_on();
    ASSERT_TRUE(wait_until([&] { return live().at(2, 3, 11) == "A 8000.1.H " && clock_shows_time(); }))
        << live().text();
    std::string frozen;
    unplug_and_replug(
        program,
        [&] {
            frozen = live().at(13, 3, 2);
            return clock_shows_error();
        },
        [&] { return clock_shows_time() && live().at(13, 3, 2) != frozen; });
    finish(program);
}

TEST_F(LineLoss, ChangeLogStaysOpenAndCompleteAcrossTheLoss)
{
    directory_.write("abc.DAT", "2,3,CNT,80001,H\r\n");
    start_simulator({"--change", "8000:1:200", "--fault", "unplug:1500:5000"});
    HeadlessScript keys;
    keys.await("ready").key("F11").await("prompt-seen").text("abc/F").key("Enter");
    Qk14Process program(directory_, live_script(keys));
    when_running_press_on();
    ASSERT_TRUE(wait_until([&] { return live().text().find("File Name(*.DAT):") != std::string::npos; }))
        << live().text();
    directory_.write("prompt-seen", "");
    ASSERT_TRUE(wait_until([&] { return directory_.exists("abc.DAS"); }));
    std::size_t lines_at_return = 0;
    unplug_and_replug(
        program, [] { return true; },
        [&] {
            const std::string text = directory_.read("abc.DAS");
            if (lines_at_return == 0)
                lines_at_return = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
            return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) >= lines_at_return + 3;
        });
    finish(program);

    // One file, numbered without a gap or a repeat, values moving on.
    EXPECT_GE(qk_test::numbered_change_lines(directory_.read("abc.DAS")), lines_at_return + 3);
}

TEST_F(LineLoss, WithoutReconnectionAHangUpEndsTheProgramWithError53)
{
    const qk_test::ScopedLocale english("C.UTF-8");
    start_simulator({"--hangup-after", "5"});
    Qk14Process program(directory_, live_script(), {"--no-reconnect"});
    // The runtime's report waits for a key before the program ends.
    // The report, below the dump rows, ends by asking for a key.
    EXPECT_TRUE(wait_until([&] { return live().text().find("Press any key") != std::string::npos; })) << live().text();
    finish_after_report(program);
    // The report says in words that the port went away, and which.
    EXPECT_NE(program.standard_error().find("error[53]\nDevice fault\n" + port().string() +
                                            ": the port went away (hung up or unplugged)\n"),
              std::string::npos)
        << program.standard_error();
    EXPECT_NE(directory_.read("config/qkmonitors/settings.ini").find("CODE=53"), std::string::npos)
        << directory_.read("config/qkmonitors/settings.ini");
}

}  // namespace
}  // namespace qk14_e2e
