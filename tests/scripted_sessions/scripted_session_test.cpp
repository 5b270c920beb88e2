// The scripted sessions end to end: qk14 and qkp877w with --exec,
// --exec-file and --watch against target-sim, standard output checked line
// by line against the board's memory and the request log.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/request_log.h"
#include "tests/support/scratch_directory.h"
#include "tests/support/target_simulator.h"
#include "tests/support/wait_until.h"

namespace {

using namespace std::chrono_literals;
using qk_test::ChildOptions;
using qk_test::ChildProcess;
using qk_test::request_hex;
using qk_test::ScratchDirectory;
using qk_test::TargetSimulator;
using testing::ElementsAre;
using testing::HasSubstr;

// A program run in the test's directory (which holds QK.DEF), COM1 on the
// simulator's "tty" unless the arguments name another port; standard output
// to run.out, standard error to run.err.
class ScriptedRun {
public:
    ScriptedRun(const ScratchDirectory& directory, const char* program, std::vector<std::string> arguments,
                bool port_on_simulator = true)
        : directory_(directory), process_(options(directory, program, std::move(arguments), port_on_simulator))
    {
    }

    // The exit code; the test fails when the program is still running after a minute.
    int finish()
    {
        const std::optional<int> code = process_.wait_exit(60s);
        if (!code) {
            process_.stop();
            ADD_FAILURE() << "the program did not end";
            return -1;
        }
        return *code;
    }

    std::vector<std::string> output_lines() const
    {
        std::vector<std::string> lines;
        std::istringstream in(output());
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    std::string output() const { return directory_.read("run.out"); }
    std::string errors() const { return directory_.read("run.err"); }
    ChildProcess& process() noexcept { return process_; }

private:
    static ChildOptions options(const ScratchDirectory& directory, const char* program,
                                std::vector<std::string> arguments, bool port_on_simulator)
    {
        ChildOptions o;
        o.program = program;
        if (port_on_simulator)
            o.arguments = {"--port", "COM1=" + (directory / "tty").string()};
        o.arguments.insert(o.arguments.end(), arguments.begin(), arguments.end());
        o.directory = directory.path();
        o.environment = {{"XDG_CONFIG_HOME", (directory / "config").string()}, {"LC_ALL", "C.UTF-8"}};
        o.stdout_file = directory / "run.out";
        o.stderr_file = directory / "run.err";
        return o;
    }

    const ScratchDirectory& directory_;
    ChildProcess process_;
};

std::string zeros(std::size_t bytes) { return std::string(bytes * 2, '0'); }

TEST(ScriptedCommands, Qk14RunsEveryCommandLetterOfAFileAsTheCommandRowDoes)
{
    ScratchDirectory directory("qk-scripted");
    directory.write("QK.DEF", "CH=0\r\n");
    directory.write("setup.txt",
                    "# board set-up\n"
                    "w80001122\n"
                    "\n"
                    "W8010:AB\r\n"
                    "   S80003  \n"
                    "C80000\n"
                    "O1255\n"
                    "I12\n"
                    "H121\n"
                    "L120\n"
                    "J80\n"
                    "R8000\n"
                    "R8010\n");
    TargetSimulator simulator(directory, {});
    ScriptedRun run(directory, QK14_PATH, {"--exec-file", "setup.txt"});

    EXPECT_EQ(run.finish(), 0) << run.errors();
    EXPECT_THAT(run.output_lines(), ElementsAre("W80001122\t1122", "W8010:AB\t4142", "S80003\t19", "C80000\t18",
                                                "O1255\t55", "I12\t55", "H121\t57", "L120\t56", "J80\t",
                                                "R8000\t1822" + zeros(14), "R8010\t4142" + zeros(14)));
    // The same request bytes as the command row: argument digits, then the code; J sends nothing.
    EXPECT_THAT(simulator.log().received(),
                ElementsAre(request_hex("80001122", 0x01), request_hex("80104142", 0x01), request_hex("80003", 0x21),
                            request_hex("80000", 0x20), request_hex("1255", 0x22), request_hex("12", 0x23),
                            request_hex("121", 0x25), request_hex("120", 0x24), request_hex("8000", 0x1F),
                            request_hex("8010", 0x1F)));
    EXPECT_EQ(run.errors(), "");
}

TEST(ScriptedCommands, QkP877WRunsEveryCommandLetterAndRefusesSilently)
{
    ScratchDirectory directory("qk-scripted");
    directory.write("QK.DEF", "CH=0\r\n");
    directory.write("setup.txt",
                    "W01201122\n"
                    "W0130:AB\n"
                    "S01203\n"
                    "C01200\n"
                    "R0120\n"
                    "R0130\n"
                    "R01\n"       // too short: refused without a word
                    "I12\n");     // the board has no ports: no reply
    TargetSimulator simulator(directory, {"--board", "pic"});
    ScriptedRun run(directory, QKP877W_PATH, {"--exec-file", "setup.txt"});

    EXPECT_EQ(run.finish(), 3) << run.errors();
    EXPECT_THAT(run.output_lines(), ElementsAre("W01201122\t1122", "W0130:AB\t4142", "S01203\t19", "C01200\t18",
                                                "R0120\t1822" + zeros(14), "R0130\t4142" + zeros(14), "R01\t",
                                                "I12\tError"));
    EXPECT_THAT(simulator.log().received(),
                ElementsAre(request_hex("01201122", 0x01), request_hex("01304142", 0x01), request_hex("01203", 0x21),
                            request_hex("01200", 0x20), request_hex("0120", 0x1F), request_hex("0130", 0x1F),
                            request_hex("12", 0x23)));
}

TEST(ScriptedCommands, RefusedAndUnansweredCommandsPrintErrorAndExitWithThree)
{
    ScratchDirectory directory("qk-scripted");
    directory.write("QK.DEF", "CH=0\r\n");
    {
        TargetSimulator simulator(directory, {"--fill", "8000=2A"});
        // Bit 9 is refused by Qk14's check; the rest still run.
        ScriptedRun run(directory, QK14_PATH, {"--exec", "S80009", "--exec", "R8000"});
        EXPECT_EQ(run.finish(), 3) << run.errors();
        EXPECT_THAT(run.output_lines(), ElementsAre("S80009\tError", "R8000\t2A" + zeros(15)));
        EXPECT_THAT(simulator.log().received(), ElementsAre(request_hex("8000", 0x1F)));

        ScriptedRun stopping(directory, QK14_PATH, {"--stop-on-error", "--exec", "S80009", "--exec", "R8000"});
        EXPECT_EQ(stopping.finish(), 3);
        EXPECT_THAT(stopping.output_lines(), ElementsAre("S80009\tError"));
        EXPECT_EQ(simulator.log().received().size(), 1u);
    }
    TargetSimulator silent(directory, {"--fault", "silent"});
    ScriptedRun run(directory, QK14_PATH, {"--exec", "R8000", "--exec", "I12"});
    EXPECT_EQ(run.finish(), 3);
    EXPECT_THAT(run.output_lines(), ElementsAre("R8000\tError", "I12\tError"));

    directory.write("ONE.DAT", "2,3,ONE,80001,H\r\n");
    ScriptedRun watch(directory, QK14_PATH, {"--watch", "ONE"});
    EXPECT_EQ(watch.finish(), 3);
    const std::vector<std::string> lines = watch.output_lines();
    ASSERT_EQ(lines.size(), 2u) << watch.output();
    EXPECT_THAT(lines[1], testing::EndsWith(",ONE,80001,H,Error"));
}

TEST(ScriptedCommands, AnAbsentPortEndsWithOneAndTheReasonOnStandardError)
{
    ScratchDirectory directory("qk-scripted");
    directory.write("QK.DEF", "CH=0\r\n");
    const std::string absent = (directory / "no-such-tty").string();
    ScriptedRun run(directory, QK14_PATH, {"--port", "COM1=" + absent, "--exec", "R8000"}, false);

    EXPECT_EQ(run.finish(), 1);
    EXPECT_EQ(run.output(), "");
    EXPECT_THAT(run.errors(), HasSubstr(absent));
    EXPECT_THAT(run.errors(), HasSubstr("not found"));
}

TEST(ScriptedCommands, ALostLineWithoutReconnectionEndsWithError53InWords)
{
    ScratchDirectory directory("qk-scripted");
    directory.write("QK.DEF", "CH=0\r\n");
    TargetSimulator simulator(directory, {"--hangup-after", "1"});
    ScriptedRun run(directory, QK14_PATH, {"--no-reconnect", "--exec", "R8000", "--exec", "R8010", "--exec", "R8020"});

    EXPECT_EQ(run.finish(), 1);
    // The answered command is printed; the one under way when the line went
    // may still show Error; the run ends before the third.
    const std::vector<std::string> lines = run.output_lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "R8000\t" + zeros(16));
    EXPECT_THAT(std::vector<std::string>(lines.begin() + 1, lines.end()),
                testing::AnyOf(ElementsAre(), ElementsAre("R8010\tError")));
    EXPECT_THAT(run.errors(), HasSubstr("error[53]"));
    EXPECT_THAT(run.errors(), HasSubstr("the port went away"));
}

// The line goes while commands run and comes back: the commands meanwhile
// fail, the rest are answered, and no read waits for a byte the lost line took.
TEST(ScriptedCommands, ALostLineGivesErrorUntilItIsBackAndTheRestAreAnswered)
{
    ScratchDirectory directory("qk-scripted");
    directory.write("QK.DEF", "CH=0\r\n");
    std::string reads;
    for (int row = 0; row < 8; ++row)
        reads += "R80" + std::to_string(row) + "0\n";
    directory.write("reads.txt", reads);
    // The line goes 100 ms after the first request and is back 2.5 s later.
    TargetSimulator simulator(directory, {"--fault", "unplug:100:2500"});
    ScriptedRun run(directory, QK14_PATH, {"--exec-file", "reads.txt"});

    EXPECT_EQ(run.finish(), 3) << run.errors();
    const std::vector<std::string> lines = run.output_lines();
    ASSERT_EQ(lines.size(), 8u) << run.output();
    EXPECT_EQ(lines.front(), "R8000\t" + zeros(16));
    EXPECT_THAT(lines, testing::Contains(testing::EndsWith("\tError")));
    EXPECT_EQ(lines.back(), "R8070\t" + zeros(16));
}

// A watch page of two entries on byte 8000, which the board counts up.
void write_counter_page(const ScratchDirectory& directory)
{
    directory.write("QK.DEF", "CH=0\r\n");
    directory.write("COUNT.DAT", "2,3,COUNT,80001,H\r\n2,4,\"LEVEL, raw\",80001,D\r\n");
}

TEST(ScriptedWatch, PrintsAHeaderAndOneCsvLinePerEntryAndSampleShowingTheChanges)
{
    ScratchDirectory directory("qk-scripted");
    write_counter_page(directory);
    TargetSimulator simulator(directory, {"--change", "8000:1:40"});
    ScriptedRun run(directory, QK14_PATH, {"--watch", "COUNT", "--interval", "300", "--count", "4"});

    EXPECT_EQ(run.finish(), 0) << run.errors();
    const std::vector<std::string> lines = run.output_lines();
    ASSERT_EQ(lines.size(), 9u) << run.output();
    EXPECT_EQ(lines[0], "time,label,address,format,value");
    const std::regex count_line(R"((\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d),COUNT,80001,H,([0-9A-F]{2}))");
    const std::regex level_line(R"((\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d),"LEVEL, raw",80001,D,(\d+) d)");
    std::vector<int> counts;
    for (std::size_t sample = 0; sample < 4; ++sample) {
        std::smatch count;
        std::smatch level;
        ASSERT_TRUE(std::regex_match(lines[1 + 2 * sample], count, count_line)) << lines[1 + 2 * sample];
        ASSERT_TRUE(std::regex_match(lines[2 + 2 * sample], level, level_line)) << lines[2 + 2 * sample];
        counts.push_back(std::stoi(count[2].str(), nullptr, 16));
        // The decimal value read just after the hexadecimal one: the same count or a little more.
        EXPECT_GE((std::stoi(level[2].str()) - counts.back() + 256) % 256, 0);
        EXPECT_LE((std::stoi(level[2].str()) - counts.back() + 256) % 256, 3);
    }
    for (std::size_t i = 1; i < counts.size(); ++i)
        EXPECT_NE(counts[i], counts[i - 1]) << "sample " << i << " shows no change";
    EXPECT_EQ(simulator.log().count_received(request_hex("8000", 0x10)), 8);
}

TEST(ScriptedWatch, SigtermMidCaptureLeavesOnlyWholeLines)
{
    ScratchDirectory directory("qk-scripted");
    write_counter_page(directory);
    // Slow replies: a sample is under way most of the time.
    TargetSimulator simulator(directory, {"--change", "8000:1:40", "--fault", "late:60"});
    ScriptedRun run(directory, QK14_PATH, {"--watch", "COUNT", "--interval", "0", "--count", "0"});

    ASSERT_TRUE(qk_test::wait_until([&] { return run.output_lines().size() >= 6; }, 30s)) << run.errors();
    // Mid-sample: just after a request went out.
    const std::size_t sent = simulator.log().received().size();
    ASSERT_TRUE(qk_test::wait_until([&] { return simulator.log().received().size() > sent; }, 10s));
    run.process().signal(SIGTERM);

    EXPECT_EQ(run.finish(), 0) << run.errors();
    const std::string output = run.output();
    ASSERT_FALSE(output.empty());
    EXPECT_EQ(output.back(), '\n');
    const std::regex whole(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d,(COUNT,80001,H,[0-9A-F]{2}|"LEVEL, raw",80001,D,\d+ d))");
    const std::vector<std::string> lines = run.output_lines();
    for (std::size_t i = 1; i < lines.size(); ++i)
        EXPECT_TRUE(std::regex_match(lines[i], whole)) << "line " << i << ": " << lines[i];
}

TEST(ScriptedRuns, ExitCodesOfUsageAndAPipedScreen)
{
    ScratchDirectory directory("qk-scripted");
    directory.write("QK.DEF", "CH=0\r\n");
    TargetSimulator simulator(directory, {});
    // Standard output on a file, no option: the screen would be seen nowhere.
    ScriptedRun piped(directory, QK14_PATH, {}, false);
    EXPECT_EQ(piped.finish(), 2);
    EXPECT_EQ(piped.output(), "");
    EXPECT_THAT(piped.errors(), HasSubstr("standard output is not a terminal"));
    EXPECT_THAT(piped.errors(), HasSubstr("--exec"));

    ScriptedRun with_screen(directory, QKP877W_PATH, {"--exec", "R0000", "--ui", "tty"}, false);
    EXPECT_EQ(with_screen.finish(), 2);
    EXPECT_THAT(with_screen.errors(), HasSubstr("without a screen"));

    ScriptedRun missing_file(directory, QK14_PATH, {"--exec-file", "absent.txt"}, false);
    EXPECT_EQ(missing_file.finish(), 2);
    EXPECT_THAT(missing_file.errors(), HasSubstr("absent.txt"));

    ScriptedRun missing_page(directory, QK14_PATH, {"--watch", "NOPAGE"});
    EXPECT_EQ(missing_page.finish(), 1);
    EXPECT_THAT(missing_page.errors(), HasSubstr("NOPAGE.DAT"));
}

}  // namespace
