// Serial reader threads raise arrival events while the program thread runs
// statements that poll and dispatch them.
#include <array>
#include <atomic>
#include <thread>
#include <vector>

#include "runtime/core/event_table.h"
#include "runtime/core/frame.h"
#include "runtime/core/frame_records.h"
#include "tests/core_frame/frame_fixture.h"

namespace {

using qk_test::FrameTest;

constexpr int kChannels = 4;
constexpr int kRaisesPerThread = 5000;

TEST(EventTableThreads, ConcurrentRaisesNeverQueueAnEventTwice)
{
    rt::EventTable table;
    for (int c = 0; c < kChannels; ++c) {
        table.set_handler(rt::kEventSerial0 + c, [] {});
        table.arm(rt::kEventSerial0 + c);
    }
    std::atomic<int> running{kChannels};
    std::vector<std::jthread> readers;
    for (int c = 0; c < kChannels; ++c)
        readers.emplace_back([&, c] {
            for (int i = 0; i < kRaisesPerThread; ++i)
                table.raise(rt::kEventSerial0 + c);
            --running;
        });
    int taken = 0;
    while (running > 0 || table.attention()) {
        const auto queued = table.queued();
        ASSERT_LE(queued.size(), std::size_t(kChannels));
        if (const int event = table.take_next_due()) {
            ++taken;
            table.release(event);
        }
    }
    readers.clear();
    EXPECT_GT(taken, 0);
    EXPECT_TRUE(table.queued().empty());
}

TEST_F(FrameTest, ArrivalEventsFromReaderThreadsRunTheirSubroutines)
{
    std::array<int, kChannels> runs{};
    for (int c = 0; c < kChannels; ++c) {
        runtime_.frame().events.set_handler(rt::kEventSerial0 + c, [&runs, c] { ++runs[std::size_t(c)]; });
        runtime_.frame().events.arm(rt::kEventSerial0 + c);
    }
    std::atomic<int> running{kChannels};
    {
        std::vector<std::jthread> readers;
        for (int c = 0; c < kChannels; ++c)
            readers.emplace_back([&, c] {
                for (int i = 0; i < 300; ++i) {
                    rt::RAISE_EVENT(rt::kEventSerial0 + c);
                    std::this_thread::yield();
                }
                --running;
            });
        while (running > 0)
            rt::stmt(1, [] {});
    }
    for (int i = 0; i < 2 * kChannels; ++i)
        rt::stmt(2, [] {});
    for (int c = 0; c < kChannels; ++c)
        EXPECT_GE(runs[std::size_t(c)], 1) << "channel " << c;
    EXPECT_FALSE(runtime_.frame().events.attention());
    EXPECT_EQ(runtime_.frame().handler_depth, 0u);
}

}  // namespace
