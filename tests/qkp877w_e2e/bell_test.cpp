// The beeps of QkP877W, counted where a terminal sees them: the program runs
// on its terminal front end inside a pseudo-terminal that the test holds,
// keys go in as the terminal's key sequences, and every BEL written to the
// terminal is one beep.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "tests/qkp877w_e2e/qkp877w_e2e_fixture.h"
#include "tests/support/child_process.h"

namespace qkp877w_e2e {
namespace {

using namespace std::chrono_literals;

class TerminalRun {
public:
    explicit TerminalRun(const qk_test::ScratchDirectory& directory)
        : program_(qk_test::ChildOptions{.program = QK_QKP877W,
                                         .arguments = {"--ui", "tty", "--port", "COM1=" + (directory / "tty").string()},
                                         .directory = directory.path(),
                                         .environment = {{"TERM", "xterm"},
                                                         {"XDG_CONFIG_HOME", (directory / "config").string()}},
                                         .on_terminal = true})
    {
    }
    // Sends the bytes, then lets the program answer for `settle`; the bells written so far.
    long type(std::string_view bytes, std::chrono::milliseconds settle)
    {
        if (!bytes.empty())
            program_.write_input(bytes);
        const std::string& output = program_.read_output(settle);
        return std::count(output.begin(), output.end(), '\a');
    }

private:
    qk_test::ChildProcess program_;
};

class QkP877WBells : public QkP877WEndToEnd {};

TEST_F(QkP877WBells, AFailedWatchEntryBeepsOnceAndRefusedCommandsAreSilent)
{
    directory_.write("Q.DAT", "2,4,WORD,00202,Q\r\n");
    start_simulator();
    TerminalRun run(directory_);
    const long at_start = run.type("", 2000ms);
    EXPECT_EQ(at_start, 0);
    // Refused and unanswered commands: no beep (the time-out takes 1.3 s).
    EXPECT_EQ(run.type("O12\r", 500ms), at_start);
    EXPECT_EQ(run.type("J12\r", 2000ms), at_start);
    // F10 (xterm's key sequence), a name without a file: one beep.
    run.type("\x1b[21~", 800ms);
    EXPECT_EQ(run.type("NOFILE\r", 1000ms), at_start + 1);
    // F10 with a file that loads: no further beep.
    run.type("\x1b[21~", 800ms);
    EXPECT_EQ(run.type("Q\r", 1000ms), at_start + 1);
}

}  // namespace
}  // namespace qkp877w_e2e
