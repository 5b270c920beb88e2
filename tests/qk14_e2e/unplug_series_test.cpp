// Fifty unplugs in a row, the link pointing at another session's terminal
// while the line is down, with the change log running: never frozen, never
// a byte into that terminal, asking the board again soon after each return,
// and the log complete.
#include <regex>

#include "tests/qk14_e2e/qk14_e2e_fixture.h"
#include "tests/support/unplug_series.h"

namespace qk14_e2e {
namespace {

class UnplugSeries : public qk_test::UnplugSeriesEndToEnd {
protected:
    UnplugSeries() : UnplugSeriesEndToEnd(qk14_under_test()) {}
};

TEST_F(UnplugSeries, FiftyUnplugsWithTheChangeLogRunning)
{
    directory_.write("U.DAT", "2,3,CNT,80001,H\r\n");
    HeadlessScript keys;
    keys.key("F11").until(6, "File Name").text("U/D").key("Enter");
    const UnplugRun run = run_through_unplugs(50, 700, 1500, keys, {"--fill", "8000=10", "--change", "8000:1:150"});
    EXPECT_EQ(run.replugs, 50);
    EXPECT_TRUE(run.decoy_writes.empty()) << run.decoy_writes.front();
    // Back asking the board after each return, not stuck on the lost line
    // (measured 0.11 s, also beside the whole suite; up to 10 s while a
    // sanitizer build ran beside the suite on the same 2 cores).
    EXPECT_LT(run.slowest_return, 30.0) << "seconds from a return to the first request";
    std::printf("slowest return to the first request: %.3f s\n", run.slowest_return);

    // Every line a whole change line, numbered 1, 2, 3, ... and each value a byte.
    static const std::regex kLine(R"((\d{4}),\d\d/\d\d/\d\d,\d\d:\d\d:\d\d,([0-9A-F]{2}))");
    const std::string text = directory_.read("U.DAS");
    int expected = 1;
    for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        std::smatch m;
        const std::string line = text.substr(start, end - start);
        ASSERT_TRUE(std::regex_match(line, m, kLine)) << line;
        EXPECT_EQ(std::stoi(m[1]), expected % 10000) << line;
        ++expected;
    }
    EXPECT_GT(expected, 50) << text;
}

}  // namespace
}  // namespace qk14_e2e
