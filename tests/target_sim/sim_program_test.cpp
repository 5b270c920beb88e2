// Runs the real target-sim program and talks to it over its pseudo-terminal.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "host/file_descriptor.h"
#include "tests/support/child_process.h"
#include "tests/support/scratch_directory.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using host::FileDescriptor;

// The simulator as a child process with its standard input and output on
// pipes; the slave path is its first line of output.
class SimProcess {
public:
    explicit SimProcess(const std::vector<std::string>& options)
        : process_(qk_test::ChildOptions{.program = TARGET_SIM_PATH, .arguments = options, .input_pipe = true}),
          slave_path_(process_.first_line(5s).value_or(""))
    {
    }

    const std::string& slave_path() const { return slave_path_; }
    pid_t pid() const { return process_.pid(); }
    void close_stdin() { process_.close_input(); }

    // Waits for the process to end; its exit status, or nothing on time-out.
    std::optional<int> wait_exit(std::chrono::milliseconds limit) { return process_.wait_exit(limit); }

private:
    qk_test::ChildProcess process_;
    std::string slave_path_;
};

// The monitor's side of the line, opened raw like a serial port.
class PortClient {
public:
    explicit PortClient(const std::string& path) : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY))
    {
        if (!fd_.valid())
            throw std::runtime_error("open " + path);
        termios t{};
        ::tcgetattr(fd_.get(), &t);
        ::cfmakeraw(&t);
        ::tcsetattr(fd_.get(), TCSANOW, &t);
    }

    // False when the line is gone.
    bool send(std::string_view bytes) { return ::write(fd_.get(), bytes.data(), bytes.size()) == ssize_t(bytes.size()); }

    // Bytes up to and including the first byte below "0", or what arrived
    // before the time limit.
    std::string reply(std::chrono::milliseconds limit = 2000ms)
    {
        std::string text;
        const auto until = Clock::now() + limit;
        while (Clock::now() < until) {
            pollfd p{fd_.get(), POLLIN, 0};
            const int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count());
            if (::poll(&p, 1, std::max(left, 0)) <= 0)
                continue;
            if (p.revents & (POLLHUP | POLLERR)) {
                hung_up_ = true;
                break;
            }
            char c = 0;
            if (::read(fd_.get(), &c, 1) != 1) {
                hung_up_ = true;
                break;
            }
            text.push_back(c);
            if (static_cast<unsigned char>(c) < 0x30)
                break;
        }
        return text;
    }

    std::string ask(std::string_view request)
    {
        if (!send(request))
            return "(send failed)";
        return reply();
    }

    bool hung_up() const { return hung_up_; }

private:
    FileDescriptor fd_;
    bool hung_up_ = false;
};

class TargetSimProgram : public ::testing::Test {
protected:
    std::string path(const char* name) const { return (directory_ / name).string(); }

    static std::vector<std::string> read_lines(const std::string& file)
    {
        std::ifstream in(file);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    qk_test::ScratchDirectory directory_{"target-sim-test"};
};

TEST_F(TargetSimProgram, AnswersReadsWritesBitsAndPortsExactly)
{
    SimProcess sim({"--unpaced", "--fill", "8000=00112233445566778899AABBCCDDEEFF"});
    ASSERT_TRUE(sim.slave_path().starts_with("/dev/pts/")) << sim.slave_path();
    PortClient port(sim.slave_path());
    EXPECT_EQ(port.ask("8000\x1F"), "00112233445566778899AABBCCDDEEFF\r");
    EXPECT_EQ(port.ask("8000\x13"), "00112233\r");
    EXPECT_EQ(port.ask("10004142\x01"), "4142\r");
    EXPECT_EQ(port.ask("1000\x11"), "4142\r");
    EXPECT_EQ(port.ask("10007\x21"), "C1\r");
    EXPECT_EQ(port.ask("3F5A\x22"), "5A\r");
    EXPECT_EQ(port.ask("3F\x23"), "5A\r");
    EXPECT_EQ(port.ask("3F0\x24"), "5A\r");
    EXPECT_EQ(port.ask("3F7\x25"), "DA\r");
}

TEST_F(TargetSimProgram, SevenDataBitsDropTheTopBit)
{
    SimProcess sim({"--unpaced", "--data-bits", "7", "--fill", "8000=AB"});
    PortClient port(sim.slave_path());
    // 0x9F arrives as 0x1F on a 7-bit line.
    EXPECT_EQ(port.ask("8000\x9F"), "AB" + std::string(30, '0') + "\r");
}

TEST_F(TargetSimProgram, PicBoardServesItsSmallMemory)
{
    SimProcess sim({"--unpaced", "--board", "pic", "--fill", "01FE=CAFE"});
    PortClient port(sim.slave_path());
    EXPECT_EQ(port.ask("01FE\x11"), "CAFE\r");
    ASSERT_TRUE(port.send("3F\x23"));
    EXPECT_EQ(port.reply(300ms), "");  // no ports: no reply
}

TEST_F(TargetSimProgram, PacesRepliesToTheLineRate)
{
    SimProcess paced({});
    PortClient port(paced.slave_path());
    // Warm up once, then time a 16-byte read: 5 bytes out and 33 back.
    ASSERT_EQ(port.ask("0000\x1F").size(), 33u);
    constexpr int kRows = 10;
    const auto start = Clock::now();
    for (int i = 0; i < kRows; ++i)
        ASSERT_EQ(port.ask("0000\x1F").size(), 33u);
    const double per_row_ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count() / kRows;
    const double line_rate_ms = 38 * 10 * 1000.0 / 9600;  // 39.6 ms
    std::printf("paced 9600 bit/s: %.2f ms per 38-byte exchange (line rate %.2f ms)\n", per_row_ms, line_rate_ms);
    // Pacing cannot make the exchange faster than the line allows.
    EXPECT_GE(per_row_ms, 0.95 * line_rate_ms);

    SimProcess unpaced({"--unpaced"});
    PortClient fast(unpaced.slave_path());
    const auto fast_start = Clock::now();
    for (int i = 0; i < kRows; ++i)
        ASSERT_EQ(fast.ask("0000\x1F").size(), 33u);
    std::printf("unpaced: %.3f ms per exchange\n",
                std::chrono::duration<double, std::milli>(Clock::now() - fast_start).count() / kRows);
}

TEST_F(TargetSimProgram, SilentLateShortAndGarbageFaults)
{
    {
        SimProcess sim({"--unpaced", "--fault", "silent"});
        PortClient port(sim.slave_path());
        ASSERT_TRUE(port.send("0000\x1F"));
        EXPECT_EQ(port.reply(300ms), "");
    }
    {
        SimProcess sim({"--unpaced", "--fault", "late:200"});
        PortClient port(sim.slave_path());
        const auto start = Clock::now();
        EXPECT_EQ(port.ask("0000\x10"), "00\r");
        EXPECT_GE(Clock::now() - start, 200ms);
    }
    {
        SimProcess sim({"--unpaced", "--fault", "short", "--fill", "0000=0102"});
        PortClient port(sim.slave_path());
        EXPECT_EQ(port.ask("0000\x11"), "01\r");
        EXPECT_EQ(port.ask("0000\x1F"), "0102000000000000\r");
    }
    {
        SimProcess sim({"--unpaced", "--fault", "garbage"});
        PortClient port(sim.slave_path());
        const std::string reply = port.ask("0000\x13");
        ASSERT_EQ(reply.size(), 9u);
        EXPECT_EQ(reply.back(), '\r');
        EXPECT_EQ(reply.find_first_of("0123456789ABCDEF"), std::string::npos) << reply;
    }
    {
        // Aimed at one address: other requests get sound replies and do not count.
        SimProcess sim({"--unpaced", "--fault", "nul", "--faulty-address", "9000", "--faulty-replies", "1",
                        "--fill", "9000=22"});
        PortClient port(sim.slave_path());
        EXPECT_EQ(port.ask("0000\x10"), "00\r");
        EXPECT_EQ(port.ask("9000\x10"), std::string("2\0", 2));
        EXPECT_EQ(port.reply(), "2\r");
        EXPECT_EQ(port.ask("9000\x10"), "22\r");
    }
}

TEST_F(TargetSimProgram, HangsUpAfterTheGivenNumberOfRequests)
{
    SimProcess sim({"--unpaced", "--hangup-after", "2"});
    PortClient port(sim.slave_path());
    EXPECT_EQ(port.ask("0000\x10"), "00\r");
    EXPECT_EQ(port.ask("0000\x10"), "00\r");
    // The line drops: the write fails or the read sees the hang-up.
    const bool sent = port.send("0000\x10");
    EXPECT_EQ(port.reply(1000ms), "");
    EXPECT_TRUE(!sent || port.hung_up());
}

TEST_F(TargetSimProgram, UnplugClosesTheLineAndReplugsItAtTheSameLink)
{
    const std::string link = path("tty");
    const std::string log = path("sim.log");
    SimProcess sim({"--unpaced", "--link", link, "--log", log, "--fault", "unplug:100:300"});
    auto logged = [&](const std::string& word) {
        for (const std::string& line : read_lines(log))
            if (line.find(' ' + word) != std::string::npos)
                return true;
        return false;
    };
    auto wait_for = [&](const std::string& word) {
        const auto until = Clock::now() + 20s;
        while (!logged(word) && Clock::now() < until)
            std::this_thread::sleep_for(5ms);
        return logged(word);
    };
    {
        PortClient port(link);
        EXPECT_EQ(port.ask("0000\x10"), "00\r");
        ASSERT_TRUE(wait_for("UNPLUG"));
        EXPECT_FALSE(logged("REPLUG"));
        EXPECT_EQ(port.ask("0000\x10"), "(send failed)") << "the old line is gone for good";
    }
    ASSERT_TRUE(wait_for("REPLUG"));
    PortClient again(link);
    EXPECT_EQ(again.ask("0000\x10"), "00\r");
    EXPECT_FALSE(sim.wait_exit(50ms));
}

TEST_F(TargetSimProgram, LogsEveryRequestAndReplyByte)
{
    const std::string log = path("sim.log");
    {
        SimProcess sim({"--unpaced", "--log", log});
        PortClient port(sim.slave_path());
        port.ask("8000\x1F");
        port.ask("12347\x21");
        port.ask("3F\x23");
        ASSERT_TRUE(port.send("12"));  // digits without a code yet
        std::this_thread::sleep_for(200ms);
    }
    const auto lines = read_lines(log);
    std::vector<std::string> tagged;
    for (const auto& line : lines) {
        const auto space = line.find(' ');
        ASSERT_NE(space, std::string::npos) << line;
        EXPECT_GE(std::stod(line.substr(0, space)), 0.0);
        tagged.push_back(line.substr(space + 1));
    }
    ASSERT_EQ(tagged.size(), 7u);
    EXPECT_EQ(tagged[0], "RX 38 30 30 30 1F");
    EXPECT_EQ(tagged[1], "TX 30 30 30 30 30 30 30 30 30 30 30 30 30 30 30 30 30 30 30 30 30 30 30 30 30 30 30 30 30 30 30 30 0D");
    EXPECT_EQ(tagged[2], "RX 31 32 33 34 37 21");
    EXPECT_EQ(tagged[3], "TX 38 30 0D");
    EXPECT_EQ(tagged[4], "RX 33 46 23");
    EXPECT_EQ(tagged[5], "TX 30 30 0D");
    EXPECT_EQ(tagged[6], "RX-INCOMPLETE 31 32");
}

TEST_F(TargetSimProgram, ChangingBytesMoveOverTime)
{
    SimProcess sim({"--unpaced", "--change", "0010:1:10"});
    PortClient port(sim.slave_path());
    const std::string first = port.ask("0010\x10");
    std::this_thread::sleep_for(100ms);
    const std::string second = port.ask("0010\x10");
    ASSERT_EQ(first.size(), 3u);
    ASSERT_EQ(second.size(), 3u);
    EXPECT_NE(first, second);
    EXPECT_EQ(port.ask("0011\x10"), "00\r");
}

TEST_F(TargetSimProgram, SurvivesClientsClosingAndReopeningThePort)
{
    SimProcess sim({"--unpaced"});
    for (int i = 0; i < 3; ++i) {
        PortClient port(sim.slave_path());
        EXPECT_EQ(port.ask("0000\x10"), "00\r");
    }
    EXPECT_FALSE(sim.wait_exit(50ms));
}

TEST_F(TargetSimProgram, SigtermEndsItAndRemovesTheLink)
{
    const std::string link = path("ttyTARGET");
    SimProcess sim({"--unpaced", "--link", link});
    struct stat info{};
    ASSERT_EQ(::lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), sim.slave_path());
    {
        PortClient port(link);
        EXPECT_EQ(port.ask("0000\x10"), "00\r");
    }
    ::kill(sim.pid(), SIGTERM);
    EXPECT_EQ(sim.wait_exit(2000ms), 0);
    EXPECT_NE(::lstat(link.c_str(), &info), 0);
}

TEST_F(TargetSimProgram, EndsWithStandardInputWhenAsked)
{
    SimProcess sim({"--unpaced", "--exit-on-stdin-eof"});
    EXPECT_FALSE(sim.wait_exit(100ms));
    sim.close_stdin();
    EXPECT_EQ(sim.wait_exit(2000ms), 0);
}

TEST_F(TargetSimProgram, RefusesBadOptionsWithUsage)
{
    SimProcess sim({"--board", "6502"});
    EXPECT_EQ(sim.slave_path(), "");
    EXPECT_EQ(sim.wait_exit(2000ms), 2);
}

}  // namespace
