// Fifty unplugs in a row, the link pointing at another session's terminal
// while the line is down: never frozen, never a byte into that terminal, and
// asking the board again soon after each return.
#include "tests/qkp877w_e2e/qkp877w_e2e_fixture.h"
#include "tests/support/unplug_series.h"

namespace qkp877w_e2e {
namespace {

class UnplugSeries : public qk_test::UnplugSeriesEndToEnd {
protected:
    UnplugSeries() : UnplugSeriesEndToEnd(qkp877w_under_test()) {}
};

TEST_F(UnplugSeries, FiftyUnplugsOnTheDumpPage)
{
    const UnplugRun run = run_through_unplugs(50, 700, 1500, {}, {"--change", "0010:1:100"});
    EXPECT_EQ(run.replugs, 50);
    EXPECT_TRUE(run.decoy_writes.empty()) << run.decoy_writes.front();
    // Back asking the board after each return, not stuck on the lost line
    // (measured 0.11 s, also beside the whole suite; up to 10 s while a
    // sanitizer build ran beside the suite on the same 2 cores).
    EXPECT_LT(run.slowest_return, 30.0) << "seconds from a return to the first request";
    std::printf("slowest return to the first request: %.3f s\n", run.slowest_return);
}

}  // namespace
}  // namespace qkp877w_e2e
