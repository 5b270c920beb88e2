// QkP877W's reports that say why on standard error, a FIFO watch file that
// fails at once, and a settings file and watch file with LF line ends.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/qkp877w_e2e/qkp877w_e2e_fixture.h"
#include "tests/support/child_process.h"

namespace qkp877w_e2e {
namespace {

class QkP877WErrorReport : public QkP877WEndToEnd {};

TEST_F(QkP877WErrorReport, MissingPortIsExplainedOnStandardErrorInJapanese)
{
    directory_.write("QK.DEF", "CH=0\n");
    // The report waits for a key; the program ends with it.
    directory_.write("script.txt", "until 5 [60]\nkey Enter\n");
    const std::string missing = (directory_ / "ttyGONE").string();
    // Standard error joins standard output, which the test reads.
    qk_test::ChildProcess program({.program = "/bin/sh",
                                   .arguments = {"-c", "exec \"$0\" \"$@\" 2>&1", QK_QKP877W, "--ui", "headless",
                                                 "--script", "script.txt", "--port", "COM1=" + missing},
                                   .directory = directory_.path(),
                                   .environment = {{"XDG_CONFIG_HOME", (directory_ / "config").string()},
                                                   {"LC_ALL", "ja_JP.UTF-8"}}});
    EXPECT_EQ(program.wait_exit(std::chrono::seconds(90)), 1);
    const std::string report = program.read_output(std::chrono::seconds(5));
    EXPECT_NE(report.find("QkP877W ["), std::string::npos) << report;
    EXPECT_NE(report.find("行]:エラー[60]\nデバイスを開けません\n" + missing + ": 見つかりません"), std::string::npos)
        << report;
}

TEST_F(QkP877WErrorReport, LfFilesReadAsCrLfAndAFifoWatchFileFailsAtOnce)
{
    directory_.write("QK.DEF", "CH=0\nF2=PIPE\nF3=WORD\n");
    directory_.write("WORD.DAT", "2,4,WORD,00002,Q\n2,5,NEXT,00011,H\n");
    ASSERT_EQ(::mkfifo((directory_ / "PIPE.DAT").c_str(), 0600), 0);
    start_simulator({"--fill", "000=3412"});
    // F2 fails at once on the FIFO, so F3 is taken and its page filled.
    ASSERT_EQ(run({"until 3 0000 34 12", "key F2", "key F3", "until 4   4660 d", "until 5 NEXT",
                   "screen word.txt", "close"}),
              0);
    const auto word = rows("word.txt");
    EXPECT_EQ(word[22].substr(14, 7), "F2=PIPE");
    EXPECT_EQ(word[4].substr(2, 4), "WORD");
    EXPECT_EQ(word[4].substr(15, 8), "  4660 d");
    EXPECT_EQ(word[5].substr(2, 4), "NEXT") << "the second line of an LF file is an entry of its own";
}

}  // namespace
}  // namespace qkp877w_e2e
