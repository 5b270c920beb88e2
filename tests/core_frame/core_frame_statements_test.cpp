// Statement prologue, message pump, events, subroutines, timer and the end
// of the program.
#include <string>
#include <vector>

#include "runtime/core/error.h"
#include "runtime/core/fatal_report.h"
#include "runtime/core/frame.h"
#include "runtime/core/frame_records.h"
#include "runtime/core/string_heap.h"
#include "runtime/core/string_ops.h"
#include "tests/core_frame/frame_fixture.h"

namespace {

using qk_test::FrameTest;
using Log = std::vector<std::string>;

std::uint16_t error_number_of(const std::function<void()>& f)
{
    try {
        f();
    } catch (const rt::RuntimeError& e) {
        return e.number();
    }
    return 0;
}

// A window whose procedure records the kinds it receives and, like the
// console window, destroys itself on Close.
host::WindowId recording_window(host::Desktop& desktop, Log& log, const std::string& name)
{
    return desktop.create_window(host::WindowInfo{}, [&desktop, &log, name](const host::Message& m) -> std::int64_t {
        if (m.kind == host::MessageKind::Close) {
            log.push_back(name + ":close");
            desktop.destroy_window(m.window);
        } else if (m.kind == host::MessageKind::Destroy) {
            log.push_back(name + ":destroy");
        }
        return 0;
    });
}

TEST_F(FrameTest, PumpsOnFirstStatementThenEveryEleventh)
{
    for (int i = 0; i < 23; ++i)
        rt::stmt(1, [] {});
    // Statements 1, 12 and 23 pump; each pump collects native events once.
    EXPECT_EQ(front_->collections, 3);
    EXPECT_EQ(rt::GET_LINE(), 1);
}

TEST_F(FrameTest, EndlessOneStatementLoopStillReactsToCtrlC)
{
    // The console turns the Ctrl+C character into the user break event.
    const auto console = desktop_.create_window(host::WindowInfo{}, [](const host::Message& m) -> std::int64_t {
        if (m.kind == host::MessageKind::Char && m.character == 3)
            rt::RAISE_EVENT(rt::kEventBreak);
        return 0;
    });
    front_->on_collect = [console](host::Desktop& d, int n) {
        if (n == 3)
            d.post({.window = console, .kind = host::MessageKind::Char, .character = 3});
    };
    int bodies = 0;
    const int code = rt::run_main_routine([&] {
        for (;;)
            rt::stmt(7, [&] { ++bodies; });
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(bodies, 22);  // the 23rd statement pumps, sees the break and ends
    ASSERT_EQ(front_->boxes.size(), 1u);
    EXPECT_EQ(front_->boxes[0].first, "qk14.EXE");
    EXPECT_EQ(front_->boxes[0].second, rt::break_notice_text("Qk14", 7));
}

TEST_F(FrameTest, QuitMessageEndsProgramAtThatStatementWithCodeZero)
{
    int after = 0;
    const int code = rt::run_main_routine([&] {
        rt::stmt(1, [&] { desktop_.post_quit(9); });
        for (int i = 0; i < 10; ++i)
            rt::stmt(2, [] {});
        rt::stmt(3, [&] { ++after; });  // the 12th statement pumps and ends the program
        rt::stmt(4, [&] { ++after; });
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(after, 0);
}

TEST_F(FrameTest, EndClosesOtherWindowsThenMainAndReturnsItsCode)
{
    Log log;
    runtime_.set_main_window(recording_window(desktop_, log, "main"));
    recording_window(desktop_, log, "other");
    const int code = rt::run_main_routine([] { rt::stmt(1, [] { rt::END(3); }); });
    EXPECT_EQ(code, 3);
    EXPECT_EQ(log, (Log{"other:close", "other:destroy", "main:close", "main:destroy"}));
    EXPECT_TRUE(desktop_.window_ids().empty());
}

TEST_F(FrameTest, KeyEventRaisedThreeTimesRunsOnce)
{
    int runs = 0;
    rt::ON_KEY_GOSUB(5, [&] { ++runs; });
    rt::KEY_CTRL(5, 1);
    for (int i = 0; i < 3; ++i)
        rt::RAISE_EVENT(rt::kEventKey1 + 4);
    for (int i = 0; i < 5; ++i)
        rt::stmt(1, [] {});
    EXPECT_EQ(runs, 1);
}

TEST_F(FrameTest, EventRaisedWhileItsSubroutineRunsIsQueuedAndRunsAfterReturn)
{
    Log log;
    int entries = 0;
    rt::ON_KEY_GOSUB(5, [&] {
        ++entries;
        rt::stmt(10, [&] {
            log.push_back("f5:" + std::to_string(entries));
            if (entries == 1)
                rt::RAISE_EVENT(rt::kEventKey1 + 4);
        });
        rt::stmt(11, [&] {
            if (entries == 1) {
                EXPECT_EQ(runtime_.frame().events.queued(), std::vector<int>{6});
            }
        });
    });
    rt::KEY_CTRL(5, 1);
    rt::RAISE_EVENT(rt::kEventKey1 + 4);
    rt::stmt(1, [&] { log.push_back("main1"); });
    rt::stmt(2, [&] { log.push_back("main2"); });
    EXPECT_EQ(log, (Log{"f5:1", "main1", "f5:2", "main2"}));
    EXPECT_EQ(rt::GET_LINE(), 2);  // restored after each subroutine
}

TEST_F(FrameTest, SecondKeyInterruptsFirstSubroutineFromItsSecondStatement)
{
    Log log;
    rt::ON_KEY_GOSUB(5, [&] {
        rt::stmt(10, [&] { log.push_back("f5a"); });
        rt::stmt(11, [&] { log.push_back("f5b"); });
    });
    rt::ON_KEY_GOSUB(6, [&] { rt::stmt(20, [&] { log.push_back("f6"); }); });
    rt::KEY_CTRL(5, 1);
    rt::KEY_CTRL(6, 1);
    rt::RAISE_EVENT(rt::kEventKey1 + 4);
    rt::RAISE_EVENT(rt::kEventKey1 + 5);
    rt::stmt(1, [&] { log.push_back("main"); });
    EXPECT_EQ(log, (Log{"f5a", "f6", "f5b", "main"}));
}

TEST_F(FrameTest, KeyControlStatesHoldAndDropOccurrences)
{
    int runs = 0;
    rt::ON_KEY_GOSUB(1, [&] { ++runs; });
    rt::RAISE_EVENT(rt::kEventKey1);  // not armed yet: dropped
    rt::KEY_CTRL(1, 1);
    rt::KEY_CTRL(1, 2);  // STOP: queued, not run
    rt::RAISE_EVENT(rt::kEventKey1);
    rt::stmt(1, [] {});
    EXPECT_EQ(runs, 0);
    rt::KEY_CTRL(1, 1);  // ON: the held occurrence runs
    rt::stmt(1, [] {});
    EXPECT_EQ(runs, 1);
    rt::RAISE_EVENT(rt::kEventKey1);
    rt::KEY_CTRL(1, 0);  // OFF drops the pending occurrence
    rt::KEY_CTRL(1, 1);
    rt::stmt(1, [] {});
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(runtime_.frame().events.queued().empty());
}

TEST_F(FrameTest, EventArgumentsAreChecked)
{
    EXPECT_EQ(error_number_of([] { rt::ON_KEY_GOSUB(13, [] {}); }), 5);
    EXPECT_EQ(error_number_of([] { rt::KEY_CTRL(2, 1); }), 5);  // no handler
    rt::ON_KEY_GOSUB(2, [] {});
    EXPECT_EQ(error_number_of([] { rt::KEY_CTRL(2, 3); }), 5);
    EXPECT_EQ(error_number_of([] { rt::KEY_CTRL(0, 1); }), 5);
    EXPECT_EQ(error_number_of([] { rt::TIMER_INTERVAL(0); }), 5);
    EXPECT_EQ(error_number_of([] { rt::TIMER_INTERVAL(65536); }), 5);
    EXPECT_EQ(error_number_of([] { rt::ON_TIMER_GOSUB([] {}); }), 5);  // before an interval
    EXPECT_EQ(error_number_of([] { rt::TIMER_CTRL(1); }), 5);          // before an interval
    rt::TIMER_INTERVAL(1);
    EXPECT_EQ(error_number_of([] { rt::TIMER_CTRL(1); }), 5);  // no handler
    rt::ON_TIMER_GOSUB([] {});
    rt::TIMER_CTRL(1);
    EXPECT_EQ(error_number_of([] { rt::TIMER_INTERVAL(2); }), 5);  // while armed
}

TEST_F(FrameTest, TimerFiresAfterIntervalTicksCountedOnlyWhenPumped)
{
    int runs = 0;
    rt::TIMER_INTERVAL(2);
    rt::ON_TIMER_GOSUB([&] { ++runs; });
    rt::TIMER_CTRL(1);
    ASSERT_TRUE(runtime_.frame().trap_window);
    const auto trap = runtime_.frame().trap_window->id();
    auto tick_and_pump = [&] {
        desktop_.post({.window = trap, .kind = host::MessageKind::Timer, .timer_id = rt::TrapWindow::kTimerId});
        rt::pump_messages();
        rt::STMT();
    };
    tick_and_pump();
    EXPECT_EQ(runs, 0);
    tick_and_pump();
    EXPECT_EQ(runs, 1);
    desktop_.post({.window = trap, .kind = host::MessageKind::Timer, .timer_id = rt::TrapWindow::kTimerId});  // not pumped
    rt::TIMER_CTRL(0);
    rt::pump_messages();
    EXPECT_EQ(runtime_.frame().timer_ticks, 0u);
}

TEST_F(FrameTest, GosubRestoresLineAndReturnEndsSubroutineEarly)
{
    Log log;
    rt::stmt(5, [&] {
        rt::GOSUB([&] {
            rt::stmt(50, [&] { log.push_back("sub"); });
            rt::stmt(51, [&] { rt::RETURN(); });
            rt::stmt(52, [&] { log.push_back("not reached"); });
        });
        log.push_back("line " + std::to_string(rt::GET_LINE()));
    });
    EXPECT_EQ(log, (Log{"sub", "line 5"}));
    EXPECT_EQ(runtime_.frame().gosub.depth(), 0u);
}

TEST_F(FrameTest, ReturnWithoutGosubRaises3)
{
    EXPECT_EQ(error_number_of([] { rt::RETURN(); }), 3);
}

TEST_F(FrameTest, The129thNestedGosubRaises32)
{
    int deepest = 0;
    std::function<void(int)> nest = [&](int depth) {
        deepest = depth;
        rt::GOSUB([&] { nest(depth + 1); });
    };
    EXPECT_EQ(error_number_of([&] { nest(0); }), 32);
    EXPECT_EQ(deepest, 128);  // 128 subroutines ran; the 129th call failed
    EXPECT_EQ(runtime_.frame().gosub.depth(), 0u);
}

// A runtime extension standing in for the device table and console records.
struct TrackedExtension : rt::RuntimeExtension {
    explicit TrackedExtension(Log& log) : log(log) {}
    ~TrackedExtension() override { log.push_back("destroyed"); }
    void on_terminate() noexcept override { log.push_back("terminated"); }
    Log& log;
};

TEST_F(FrameTest, TerminationFromAnyDepthReleasesEverything)
{
    Log log;
    runtime_.install(std::make_unique<TrackedExtension>(log));
    rt::StringDescriptor kept;
    rt::ON_KEY_GOSUB(3, [&] {
        rt::stmt(30, [&] {
            rt::GOSUB([&] {
                rt::stmt(31, [&] {
                    rt::push_temp("held by a variable");
                    rt::STR_POP_ASSIGN(kept);
                    rt::push_temp("left on the string stack");
                    rt::END(4);
                });
            });
        });
    });
    rt::KEY_CTRL(3, 1);
    rt::TIMER_INTERVAL(1);
    rt::ON_TIMER_GOSUB([] {});
    rt::TIMER_CTRL(1);
    rt::RAISE_EVENT(rt::kEventKey1 + 2);
    const int code = rt::run_main_routine([] { rt::stmt(1, [] {}); });
    EXPECT_EQ(code, 4);
    EXPECT_EQ(log, (Log{"terminated", "destroyed"}));
    EXPECT_EQ(runtime_.heap().live_blocks(), 0u);
    EXPECT_EQ(kept.length, 0u);
    EXPECT_EQ(runtime_.frame().gosub.depth(), 0u);
    EXPECT_EQ(runtime_.frame().handler_depth, 0u);
    EXPECT_FALSE(runtime_.frame().trap_window);
    EXPECT_TRUE(desktop_.window_ids().empty());
}

}  // namespace
