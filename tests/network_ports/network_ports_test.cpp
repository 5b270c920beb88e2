// Network serial ports end to end: both monitors reach target-sim's board
// through the real ser2net on 127.0.0.1, as RFC 2217 (rfc2217://) and as raw
// TCP (socket://). Pages, typed commands and the change log work as on a
// local port; a server that goes away and comes back is a line that was lost
// and found again; servers that are not there are explained in words.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/change_log_lines.h"
#include "tests/support/headless_script.h"
#include "tests/support/monitor_end_to_end.h"
#include "tests/support/monitor_process.h"
#include "tests/support/port_server.h"
#include "tests/support/replies_in_step.h"
#include "tests/support/wait_until.h"

namespace network_ports {
namespace {

using namespace std::chrono_literals;
using qk_test::HeadlessScript;
using qk_test::MonitorProcess;
using qk_test::MonitorUnderTest;
using qk_test::PortProtocol;
using qk_test::PortServer;
using qk_test::wait_until;

MonitorUnderTest qk14() { return {QK14_PATH, "qk14", {}}; }
MonitorUnderTest qkp877w() { return {QKP877W_PATH, "qkp877w", {"--board", "pic"}}; }

std::string protocol_name(const testing::TestParamInfo<PortProtocol>& info)
{
    return info.param == PortProtocol::Rfc2217 ? "Rfc2217" : "RawTcp";
}

class NetworkPort : public qk_test::MonitorEndToEnd, public testing::WithParamInterface<PortProtocol> {
protected:
    explicit NetworkPort(MonitorUnderTest monitor) : MonitorEndToEnd(std::move(monitor)) {}

    // The board's simulator, and ser2net sharing its pseudo-terminal.
    void start_board(const std::vector<std::string>& options)
    {
        server_.reset();
        start_simulator(options);
        server_.emplace(directory_, port(), GetParam());
    }
    // The program's port option: the server's address instead of the tty.
    std::vector<std::string> through_server(std::vector<std::string> more = {}) const
    {
        more.insert(more.begin(), {"--port", "COM1=" + server_->url()});
        return more;
    }

    std::optional<PortServer> server_;  // stopped before the simulator whose line it shares
};

class Qk14ThroughServer : public NetworkPort {
protected:
    Qk14ThroughServer() : NetworkPort(qk14()) {}
};

class QkP877WThroughServer : public NetworkPort {
protected:
    QkP877WThroughServer() : NetworkPort(qkp877w()) {}
};

TEST_P(Qk14ThroughServer, DumpPageCommandWatchPageAndChangeLog)
{
    directory_.write("QK.DEF", "CH=0\r\nF2=P\r\n");
    directory_.write("P.DAT", "2,3,A,80001,H\r\n");
    directory_.write("abc.DAT", "2,3,CNT,80001,H\r\n");
    start_board({"--fill", "0010=5A", "--fill", "1234=A1B2", "--change", "8000:1:100"});
    HeadlessScript script;
    script.until(3, "0000 00 ").until(4, "0010 5A ").screen("dump.txt");
    script.command_done("R1234").screen("command.txt");
    script.key("F2").until(3, "A 8000.1.H ").screen("watch.txt");
    script.key("F1").until(3, "0000 00 ");
    script.key("F11").until(6, "File Name(*.DAT):").text("abc/F").key("Enter").until(12, "CNT").close();
    ASSERT_EQ(run(script, through_server({"--trace", "wire.txt"})), 0) << directory_.read("qk14.err");

    EXPECT_EQ(screen("dump.txt").at(1, 4, 15), "0010 5A 00 00 0") << screen("dump.txt").text();
    EXPECT_EQ(screen("command.txt").at(12, 20, 8), "A1B20000") << screen("command.txt").text();
    EXPECT_EQ(screen("watch.txt").at(2, 3, 11), "A 8000.1.H ") << screen("watch.txt").text();
    EXPECT_GE(qk_test::numbered_change_lines(directory_.read("abc.DAS")), 5u);
    // The board saw the typed request whole, and --trace recorded the line.
    EXPECT_EQ(log().count_received("31 32 33 34 1F"), 1) << log().dump();
    EXPECT_NE(directory_.read("wire.txt").find(" TX 31 32 33 34 1F"), std::string::npos);
}

TEST_P(Qk14ThroughServer, ServerRestartDuringTheDumpPageAndTheChangeLog)
{
    directory_.write("abc.DAT", "2,3,CNT,80001,H\r\n");
    start_board({"--change", "0000:1:50", "--change", "8000:1:200"});
    HeadlessScript script;
    script.live("live.txt").await("log").key("F11").until(6, "File Name(*.DAT):").text("abc/F").key("Enter");
    script.await("done").close();
    MonitorProcess program(directory_, monitor_, script, through_server({"--trace", "wire.txt"}));
    const auto clock_shows_time = [&] { return live().at(73, 0, 1) == ":" && live().at(76, 0, 1) == ":"; };
    const auto first_byte = [&] { return live().at(6, 3, 2); };

    // The dump page: the server killed, the page shows the line's loss, then
    // moving values again once the server is back.
    ASSERT_TRUE(wait_until([&] { return clock_shows_time() && first_byte() != "00"; })) << live().text();
    server_->stop();
    EXPECT_TRUE(wait_until([&] { return live().at(71, 0, 5) == "Error"; })) << live().text();
    EXPECT_TRUE(program.running()) << program.standard_error();
    server_->start();
    const auto returned = std::chrono::steady_clock::now();
    const std::string frozen = first_byte();
    EXPECT_TRUE(wait_until([&] { return clock_shows_time() && first_byte() != frozen; })) << live().text();
    std::printf("live values %lld ms after the server's return\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                           std::chrono::steady_clock::now() - returned)
                                           .count()));

    // The change log: open across a restart, no line lost or repeated.
    directory_.write("log", "");
    ASSERT_TRUE(wait_until([&] { return qk_test::numbered_change_lines(directory_.read("abc.DAS")) >= 3; }))
        << directory_.read("abc.DAS");
    server_->stop();
    EXPECT_TRUE(program.running()) << program.standard_error();
    server_->start();
    const std::size_t at_return = qk_test::numbered_change_lines(directory_.read("abc.DAS"));
    EXPECT_TRUE(wait_until([&] { return qk_test::numbered_change_lines(directory_.read("abc.DAS")) >= at_return + 3; }))
        << directory_.read("abc.DAS");
    directory_.write("done", "");
    EXPECT_EQ(program.finish(60s), 0) << program.standard_error();

    const std::string trace = directory_.read("wire.txt");
    EXPECT_NE(trace.find(server_->url() + " disconnected"), std::string::npos) << trace.substr(0, 400);
    EXPECT_NE(trace.find(server_->url() + " connected again"), std::string::npos);
}

TEST_P(QkP877WThroughServer, DumpPageCommandAndWatchPage)
{
    directory_.write("Q.DAT", "2,4,WORD,00202,Q\r\n");
    start_board({"--fill", "020=3412"});
    const int exit_code = run(
        {
            "until 3 0000 00", "until 5 0020 34 12", "screen dump.txt",
            "text O1234", "key Enter", "until 19 Command :O1234", "until 21 Command :$",
            "key F10", "until 3 File Name(*.DAT):", "text Q", "key Enter", "until 4 WORD 0020.2.Q  4660 d", "screen watch.txt",
            "close",
        },
        through_server());
    ASSERT_EQ(exit_code, 0) << directory_.read("qkp877w.err");
    EXPECT_EQ(screen("dump.txt").at(1, 5, 10), "0020 34 12") << screen("dump.txt").text();
    EXPECT_EQ(screen("watch.txt").at(2, 4, 21), "WORD 0020.2.Q  4660 d") << screen("watch.txt").text();
    // The typed request reached the board whole.
    const std::vector<std::string> commands = log().requests_except_rows_of({"0000", "0100"});
    EXPECT_NE(std::find_if(commands.begin(), commands.end(), [](const std::string& r) { return r.starts_with("1234<"); }),
              commands.end())
        << log().dump();
}

INSTANTIATE_TEST_SUITE_P(Protocols, Qk14ThroughServer, testing::Values(PortProtocol::Rfc2217, PortProtocol::RawTcp),
                         protocol_name);
INSTANTIATE_TEST_SUITE_P(Protocols, QkP877WThroughServer,
                         testing::Values(PortProtocol::Rfc2217, PortProtocol::RawTcp), protocol_name);

// target-sim's faults through ser2net (RFC 2217): values stay in step, as on a local line.
class FaultyBoardThroughServer : public qk_test::RepliesInStepEndToEnd {
protected:
    FaultyBoardThroughServer() : RepliesInStepEndToEnd(qkp877w()) {}

    void start_board(const std::vector<std::string>& options) override
    {
        server_.reset();
        start_simulator(options);
        server_.emplace(directory_, port(), PortProtocol::Rfc2217);
    }
    std::vector<std::string> port_arguments() const override { return {"--port", "COM1=" + server_->url()}; }

    std::optional<PortServer> server_;
};

TEST_F(FaultyBoardThroughServer, DumpRowsShowTheirOwnAddressesAgain)
{
    for (const qk_test::BoardFault& fault : {qk_test::late_reply(2000), qk_test::nul_inside_reply(),
                                             qk_test::noise_after_reply(), qk_test::three_second_stall()})
        EXPECT_TRUE(dump_rows_in_step_after(fault));
}

// Servers that are not there: the fatal report names HOST:PORT and the reason.
class NetworkPortErrors : public qk_test::MonitorEndToEnd {
protected:
    NetworkPortErrors() : MonitorEndToEnd(qk14()) {}

    // Runs qk14 on `url` until its report is on the screen, then lets it
    // end; returns its standard error.
    std::string report(const std::string& url, const char* locale = "C")
    {
        ::setenv("LC_ALL", locale, 1);
        std::filesystem::remove(directory_ / "go-on");
        std::filesystem::remove(directory_ / "live.txt");  // the report of the run before
        HeadlessScript script;
        script.live("live.txt").await("go-on").key("Enter").close();
        MonitorProcess program(directory_, monitor_, script, {"--port", "COM1=" + url});
        ::unsetenv("LC_ALL");
        EXPECT_TRUE(wait_until([&] { return live().text().find("Qk14 [") != std::string::npos; })) << live().text();
        last_screen_ = live().text();
        directory_.write("go-on", "");
        EXPECT_EQ(program.finish(60s), 1);
        return program.standard_error();
    }
    std::string last_screen_;
};

TEST_F(NetworkPortErrors, NothingListeningUnknownHostAndRefusedSettingsAreExplained)
{
    // A port nobody listens on: a server just stopped leaves one behind.
    start_simulator();
    std::string closed;
    {
        PortServer server(directory_, port(), PortProtocol::Rfc2217);
        closed = "127.0.0.1:" + std::to_string(server.tcp_port());
        server.stop();
    }
    std::string text = report("rfc2217://" + closed);
    EXPECT_NE(text.find("error[60]\nDevice cannot be opened\nrfc2217://" + closed +
                        ": connection refused: nothing listens on that port\n"),
              std::string::npos)
        << text;
    EXPECT_NE(last_screen_.find(closed + ": connection refused"), std::string::npos) << last_screen_;
    text = report("socket://" + closed, "ja_JP.UTF-8");
    EXPECT_NE(text.find("socket://" + closed + ": 接続が拒否されました"), std::string::npos) << text;

    text = report("socket://no-such-host.invalid:4000");
    EXPECT_NE(text.find("socket://no-such-host.invalid:4000: host not found\n"), std::string::npos) << text;

    {  // An address that is not HOST:PORT is a bad command line.
        HeadlessScript script;
        script.close();
        MonitorProcess program(directory_, monitor_, script, {"--port", "COM1=rfc2217://" + closed + "/x"});
        EXPECT_EQ(program.finish(60s), 2);
        EXPECT_NE(program.standard_error().find("expected rfc2217://HOST:PORT or socket://HOST:PORT"),
                  std::string::npos)
            << program.standard_error();
    }

    // A telnet server without com-port control cannot take the line settings.
    PortServer telnet(directory_, port(), PortProtocol::Telnet);
    text = report(telnet.url());
    EXPECT_NE(text.find("error[59]\nDevice unavailable\n" + telnet.url() +
                        ": line settings refused by the server (RFC 2217)\n"),
              std::string::npos)
        << text;
}

}  // namespace
}  // namespace network_ports
