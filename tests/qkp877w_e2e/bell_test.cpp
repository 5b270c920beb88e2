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
        return bells(program_.read_output(settle));
    }
    // Sends the bytes, then reads until the terminal has been written `shown`
    // after them (at most 30 s); the bells written so far.
    long type_until_shown(std::string_view bytes, std::string_view shown)
    {
        const std::size_t from = program_.read_output(0ms).size();
        program_.write_input(bytes);
        read_until([&](const std::string& output) { return output.find(shown, from) != std::string::npos; });
        return bells(program_.read_output(0ms));
    }
    // Sends the bytes, then reads until `count` bells in all have been written (at most 30 s).
    long type_until_bells(std::string_view bytes, long count)
    {
        program_.write_input(bytes);
        read_until([&](const std::string& output) { return bells(output) >= count; });
        return bells(program_.read_output(0ms));
    }

private:
    static long bells(const std::string& output) { return std::count(output.begin(), output.end(), '\a'); }

    template <class Done>
    void read_until(Done done)
    {
        const auto until = std::chrono::steady_clock::now() + 30s;
        while (!done(program_.read_output(50ms)) && std::chrono::steady_clock::now() < until) {
        }
    }

    qk_test::ChildProcess program_;
};

class QkP877WBells : public QkP877WEndToEnd {};

TEST_F(QkP877WBells, AFailedWatchEntryBeepsOnceAndRefusedCommandsAreSilent)
{
    directory_.write("Q.DAT", "2,4,WORD,00202,Q\r\n");
    start_simulator();
    TerminalRun run(directory_);
    const long at_start = run.type_until_shown("", "R:MEM-Read");
    EXPECT_EQ(at_start, 0);
    // Refused and unanswered commands: no beep in the time one could come
    // (the time-out takes 1.3 s).
    EXPECT_EQ(run.type("O12\r", 500ms), at_start);
    EXPECT_EQ(run.type("J12\r", 2000ms), at_start);
    // F10 (xterm's key sequence), a name without a file: one beep.
    run.type_until_shown("\x1b[21~", "File Name");
    EXPECT_EQ(run.type_until_bells("NOFILE\r", at_start + 1), at_start + 1);
    // F10 with a file that loads: no further beep once its page shows.
    run.type_until_shown("\x1b[21~", "File Name");
    EXPECT_EQ(run.type_until_shown("Q\r", "WORD"), at_start + 1);
}

}  // namespace
}  // namespace qkp877w_e2e
