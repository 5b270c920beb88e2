// The console side of the fatal report: F1 during the key wait opens the help
// on the current error instead of ending the wait.
#include <gtest/gtest.h>

#include "tests/console/console_runtime.h"
#include "runtime/core/frame_records.h"

namespace rt::console::testing {

TEST(ConsoleReportKeyWait, F1OpensHelpOnTheErrorAndTheNextKeyEndsTheWait)
{
    ConsoleRuntime program;
    FrameRecords& frame = program.runtime.frame();
    frame.error.number = 1005;
    program.press(host::vk::kF1);
    program.type("x");
    program.records->report.wait_for_key(true);
    EXPECT_EQ(frame.help.last_context, 100005u);
    EXPECT_FALSE(frame.help.open);  // closed again when the wait ends
    EXPECT_TRUE(program.window().keys().empty());
}

TEST(ConsoleReportKeyWait, WithoutHelpF1IsAnOrdinaryKey)
{
    ConsoleRuntime program;
    FrameRecords& frame = program.runtime.frame();
    frame.error.number = 63;
    program.press(host::vk::kF1);
    program.type("x");
    program.records->report.wait_for_key(false);
    EXPECT_EQ(frame.help.last_context, 0u);
}

}  // namespace rt::console::testing
