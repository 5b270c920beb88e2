// Events keep running while the program waits in a blocking key read.
#include <gtest/gtest.h>

#include "tests/console/console_runtime.h"
#include "runtime/console/keyboard_reads.h"
#include "runtime/core/frame.h"

namespace rt::console::testing {

TEST(BlockingKeyRead, RunsADueFunctionKeyEventWhileWaiting)
{
    ConsoleRuntime program;
    int f5_runs = 0;
    ON_KEY_GOSUB(5, [&] { ++f5_runs; });
    KEY_CTRL(5, 1);
    program.press(host::vk::kF1 + 4);
    program.type("x");
    EXPECT_EQ(read_key_blocking(), 'x');
    EXPECT_EQ(f5_runs, 1);
}

TEST(BlockingKeyRead, AHeldEventWaitsUntilReleased)
{
    ConsoleRuntime program;
    int f5_runs = 0;
    ON_KEY_GOSUB(5, [&] { ++f5_runs; });
    KEY_CTRL(5, 1);
    KEY_CTRL(5, 2);  // STOP: occurrences are kept, not run
    program.press(host::vk::kF1 + 4);
    program.type("x");
    EXPECT_EQ(read_key_blocking(), 'x');
    EXPECT_EQ(f5_runs, 0);
    KEY_CTRL(5, 1);
    program.type("y");
    EXPECT_EQ(read_key_blocking(), 'y');
    EXPECT_EQ(f5_runs, 1);
}

}  // namespace rt::console::testing
