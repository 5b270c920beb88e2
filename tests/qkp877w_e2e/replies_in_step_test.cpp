// QkP877W on a faulty board (the shared scenarios in
// tests/support/replies_in_step.h): through a late, NUL-cut, short, garbled,
// noisy or 100 000-byte reply to one address, or a 3 s stop of the board, no
// dump row or watch value ever shows bytes its address does not hold, each
// shows its own again after the fault, and the change list shows only values
// the watched address had.
#include "tests/qkp877w_e2e/qkp877w_e2e_fixture.h"
#include "tests/support/replies_in_step.h"

namespace qkp877w_e2e {
namespace {

using namespace qk_test;

class FaultyBoard : public RepliesInStepEndToEnd {
protected:
    FaultyBoard() : RepliesInStepEndToEnd(qkp877w_under_test()) {}
};

TEST_F(FaultyBoard, DumpRowsShowTheirOwnAddressesAgain)
{
    for (const BoardFault& fault : {late_reply(1500), every_reply_late(1500), nul_inside_reply(), short_reply(),
                                    garbled_reply(), noise_after_reply(), huge_reply(), three_second_stall()})
        EXPECT_TRUE(dump_rows_in_step_after(fault));
}

TEST_F(FaultyBoard, WatchValuesShowTheirOwnAddressesAgain)
{
    for (const BoardFault& fault : {late_reply(400), every_reply_late(400), nul_inside_reply(), short_reply(),
                                    garbled_reply(), noise_after_reply(), huge_reply(), three_second_stall()})
        EXPECT_TRUE(watch_values_in_step_after(fault));
}

// The rest of a NUL-cut or noisy reply to a read typed meanwhile; a huge reply.
TEST_F(FaultyBoard, ChangeListHoldsOnlyTheWatchedAddressesValues)
{
    for (const BoardFault& fault : {nul_inside_reply(), short_reply(), garbled_reply(), noise_after_reply(), huge_reply()})
        EXPECT_TRUE(values_of_the_watched_address(change_list_after(fault, "L"), fault));
}

// A reply that came while the F11 prompt waited: late, or held up by a stall.
TEST_F(FaultyBoard, ChangeListSkipsRepliesThatCameWhileThePromptWaited)
{
    for (const BoardFault& fault : {late_reply(1500), three_second_stall()})
        EXPECT_TRUE(values_of_the_watched_address(change_list_after(fault, "L"), fault));
}

}  // namespace
}  // namespace qkp877w_e2e
