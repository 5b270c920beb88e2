#include <deque>
#include <gtest/gtest.h>

#include "monitors/monitor_shared/dump_page.h"
#include "monitors/monitor_shared/reply_wait.h"
#include "monitors/qk14/board_description.h"
#include "monitors/qkp877w/board_description.h"

namespace monitor {
namespace {

// A receive queue the reply waits take bytes from.
struct Queue {
    std::deque<std::uint8_t> bytes;
    int looks = 0;
    std::optional<std::uint8_t> take()
    {
        ++looks;
        if (bytes.empty())
            return std::nullopt;
        const auto b = bytes.front();
        bytes.pop_front();
        return b;
    }
    void push(std::string_view text)
    {
        for (char c : text)
            bytes.push_back(static_cast<std::uint8_t>(c));
    }
};

template <class Wait>
ReplyState run(Wait& wait, Queue& queue)
{
    ReplyState state = ReplyState::Waiting;
    while (state == ReplyState::Waiting)
        state = wait.pass([&] { return queue.take(); });
    return state;
}

TEST(ReplyWait, BothWaitsKeepThirtyTwoDigitsAndReadTheRestUpToTheEnd)
{
    const std::string digits(100000, '7');
    Queue command_queue;
    command_queue.push(digits + "\r12\r");
    CommandReplyWait command;
    ASSERT_EQ(run(command, command_queue), ReplyState::Complete);
    EXPECT_EQ(command.reply(), std::string(32, '7'));
    EXPECT_EQ(command_queue.bytes.size(), 3u) << "the reply was read up to its end byte";

    Queue watch_queue;
    watch_queue.push(std::string(33, 'A') + "\r");
    WatchReplyWait watch;
    ASSERT_EQ(run(watch, watch_queue), ReplyState::Complete);
    EXPECT_EQ(watch.reply(), std::string(32, 'A'));
    EXPECT_TRUE(watch_queue.bytes.empty());
}

TEST(ReplyWait, ReplyEndsAtTheFirstByteBelowZeroDigit)
{
    for (std::uint8_t end = 0x00; end < 0x30; ++end) {
        Queue queue;
        queue.push("00FF");
        queue.bytes.push_back(end);
        queue.push("12\r");
        CommandReplyWait wait;
        ASSERT_EQ(run(wait, queue), ReplyState::Complete) << int(end);
        EXPECT_EQ(wait.reply(), "00FF");
        // What follows stays queued; the next request drops it before it is sent.
        EXPECT_EQ(queue.bytes.size(), 3u);
    }
    EXPECT_EQ(complete_reply("1234 5"), "1234");
    EXPECT_EQ(complete_reply("12,34"), "12");
    EXPECT_EQ(complete_reply("\r"), "");
    EXPECT_FALSE(complete_reply("1234"));
}

TEST(ReplyWait, CommandReaderGivesUpAfter129999Looks)
{
    Queue queue;
    CommandReplyWait wait;
    EXPECT_EQ(run(wait, queue), ReplyState::TimedOut);
    EXPECT_EQ(queue.looks, 129999);
    EXPECT_EQ(wait.reply(), "");

    // Bytes count as passes too and the counter is never reset, so an end
    // byte that would be the 130000th look is never read.
    Queue slow;
    slow.push(std::string(129999, 'A') + "\r");
    CommandReplyWait partial;
    EXPECT_EQ(run(partial, slow), ReplyState::TimedOut);
    EXPECT_EQ(partial.reply(), "");
    EXPECT_EQ(slow.bytes.size(), 1u);
}

TEST(ReplyWait, LateReplyIsTakenByTheNextRequest)
{
    Queue queue;
    CommandReplyWait first;
    EXPECT_EQ(run(first, queue), ReplyState::TimedOut);
    queue.push("AB\r");
    CommandReplyWait second;
    EXPECT_EQ(run(second, queue), ReplyState::Complete);
    EXPECT_EQ(second.reply(), "AB");
}

TEST(ReplyWait, WatchReaderCountsOnlyEmptyLooks)
{
    Queue queue;
    WatchReplyWait wait;
    EXPECT_EQ(run(wait, queue), ReplyState::TimedOut);
    EXPECT_EQ(queue.looks, 10000);
    EXPECT_FALSE(wait.byte_seen());

    // A long reply does not use up the idle budget.
    Queue busy;
    busy.push(std::string(20000, '5') + "\r");
    WatchReplyWait reader;
    EXPECT_EQ(run(reader, busy), ReplyState::Complete);
    EXPECT_EQ(reader.reply().size(), 32u);  // the longest valid reply
    EXPECT_TRUE(busy.bytes.empty());
    EXPECT_TRUE(reader.byte_seen());
}

TEST(DumpPage, ArrowAndPageKeysWrapWithin64K)
{
    EXPECT_EQ(moved_dump_base(0xFF00, kDumpRowStep, qk14::kBoard), 0x0000);
    EXPECT_EQ(moved_dump_base(0x0000, -kDumpRowStep, qk14::kBoard), 0xFF00);
    EXPECT_EQ(moved_dump_base(0xF800, kDumpPageStep, qk14::kBoard), 0x0800);
    EXPECT_EQ(moved_dump_base(0x0000, -kDumpPageStep, qk14::kBoard), 0xF000);
    EXPECT_EQ(moved_dump_base(0x1200, kDumpRowStep, qk14::kBoard), 0x1300);
}

TEST(DumpPage, QkP877WTogglesBetweenItsTwoPages)
{
    EXPECT_EQ(moved_dump_base(0x000, kDumpRowStep, qkp877w::kBoard), 0x100);
    EXPECT_EQ(moved_dump_base(0x100, kDumpRowStep, qkp877w::kBoard), 0x000);
    EXPECT_EQ(moved_dump_base(0x000, -kDumpRowStep, qkp877w::kBoard), 0x100);
}

TEST(DumpPage, RowCycleRequestAndScreenRow)
{
    std::uint16_t offset = 0;
    for (int i = 0; i < 16; ++i)
        offset = next_dump_row_offset(offset);
    EXPECT_EQ(offset, 0);
    EXPECT_EQ(next_dump_row_offset(240), 0);
    EXPECT_EQ(next_dump_row_offset(16), 32);
    EXPECT_EQ(dump_row_request(0x1200, 0x30), std::string("1230\x1F"));
    EXPECT_EQ(dump_row_request(0xFF00, 0xF0), std::string("FFF0\x1F"));
    EXPECT_EQ(dump_row_request(0x0000, 0x10), std::string("0010\x1F"));
    EXPECT_EQ(address_text(0xFF00 + 16 * 15), "FFF0");
    EXPECT_EQ(address_text(0xA), "000A");
    EXPECT_EQ(dump_row_screen_row(0), 3);
    EXPECT_EQ(dump_row_screen_row(240), 18);
}

TEST(DumpPage, RowTextPairsBlanksAndExtraCharacters)
{
    const std::string full = "000102030405060708090A0B0C0D0E0F";
    EXPECT_EQ(dump_row_text(full), "00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F ");
    EXPECT_EQ(dump_row_text(full + "FFFF"), dump_row_text(full));
    EXPECT_EQ(dump_row_text("AB1"), "AB 1 " + std::string(14, ' '));
    EXPECT_EQ(dump_row_text(""), std::string(16, ' '));
}

}  // namespace
}  // namespace monitor
