#include <gtest/gtest.h>

#include "monitors/monitor_shared/line_sync.h"

namespace monitor {
namespace {

using Clock = LineSync::Clock;

ReplyText reply_of(std::string_view bytes)
{
    ReplyText text;
    for (char c : bytes)
        if (text.take(static_cast<std::uint8_t>(c)))
            break;
    return text;
}

TEST(ReplyText, OnlyWholeHexPairsEndedByCarriageReturnAreWellFormed)
{
    EXPECT_TRUE(reply_of("A5\r").well_formed());
    EXPECT_TRUE(reply_of("0123456789abcdef\r").well_formed());
    EXPECT_TRUE(reply_of(std::string(100000, '0') + "\r").well_formed()) << "more pairs than asked for";
    EXPECT_FALSE(reply_of("A\r").well_formed()) << "odd digit count";
    EXPECT_FALSE(reply_of("\r").well_formed()) << "no digits";
    EXPECT_FALSE(reply_of("OV\r").well_formed()) << "letters beyond F";
    EXPECT_FALSE(reply_of("A5").well_formed()) << "not ended";
    EXPECT_FALSE(reply_of(std::string("A5\0", 3)).well_formed()) << "ended by NUL";
    EXPECT_FALSE(reply_of("A5 ").well_formed()) << "ended by a blank";
    const ReplyText cut = reply_of(std::string(40, '7') + "G\r");
    EXPECT_FALSE(cut.well_formed()) << "a non-digit past the kept 32 still counts";
    EXPECT_EQ(cut.kept().size(), 32u);
}

TEST(LineSync, ReplyLengthsOfEveryRequestKind)
{
    EXPECT_EQ(reply_length_of("8000\x1F"), 32u);
    EXPECT_EQ(reply_length_of(std::string("8000\x10", 5)), 2u);
    EXPECT_EQ(reply_length_of("8000\x1E"), 30u);
    EXPECT_EQ(reply_length_of(std::string("80002A\x00", 7)), 2u) << "a write of one byte";
    EXPECT_EQ(reply_length_of(std::string("8000414243\x02", 11)), 6u) << "a write of three bytes";
    EXPECT_EQ(reply_length_of("80003\x21"), 2u);
    EXPECT_EQ(reply_length_of("12\x23"), 2u);
    EXPECT_FALSE(reply_length_of(std::string("80\x05", 3))) << "a request the board cannot parse";
    EXPECT_FALSE(reply_length_of("8000\x30"));
}

// The resynchronising read's reply length is one no unanswered request can
// give, so a late reply is never taken for it.
TEST(LineSync, ResyncLengthDiffersFromEveryUnansweredRequest)
{
    LineSync sync;
    const auto now = Clock::now();
    sync.request_sent(32, now);
    sync.fault(false);
    ASSERT_FALSE(sync.in_step());
    std::vector<std::size_t> used{32};
    for (int round = 0; round < 7; ++round) {
        const std::optional<std::uint8_t> count = sync.resync_count(now);
        ASSERT_TRUE(count);
        EXPECT_EQ(std::count(used.begin(), used.end(), 2u * *count), 0) << int(*count);
        used.push_back(2u * *count);
        sync.resync_sent(*count, now);
    }
    EXPECT_FALSE(sync.resync_count(now)) << "too many unanswered: wait for the last one";
    EXPECT_TRUE(sync.resync_awaited());

    // Older replies, whatever their length, prove nothing; only the last resync's does.
    for (std::size_t i = 0; i + 1 < used.size(); ++i)
        EXPECT_FALSE(sync.proves_in_step(reply_of(std::string(used[i], '5') + "\r")));
    EXPECT_TRUE(sync.proves_in_step(reply_of(std::string(used.back(), '5') + "\r")));
    EXPECT_TRUE(sync.in_step());
}

TEST(LineSync, TheRestOfACutReplyProvesNothingEvenWithTheAwaitedLength)
{
    LineSync sync;
    const auto now = Clock::now();
    sync.request_sent(32, now);
    sync.fault(true);  // gave up in the middle of a reply
    const std::uint8_t count = sync.resync_count(now).value();
    sync.resync_sent(count, now);
    EXPECT_FALSE(sync.proves_in_step(reply_of(std::string(2u * count, '1') + "\r")));
    EXPECT_TRUE(sync.proves_in_step(reply_of(std::string(2u * count, '1') + "\r")));

    // A NUL-cut reply: its rest runs to the next CR.
    sync.fault(true);
    const std::uint8_t again = sync.resync_count(now).value();
    sync.resync_sent(again, now);
    EXPECT_FALSE(sync.proves_in_step(reply_of(std::string("12\0", 3))));
    EXPECT_FALSE(sync.proves_in_step(reply_of(std::string(2u * again, '3') + "\r")));
    EXPECT_TRUE(sync.proves_in_step(reply_of(std::string(2u * again, '3') + "\r")));
}

TEST(LineSync, SilentBoardsRequestsAreForgottenAndARenewedLineStartsAfresh)
{
    LineSync sync;
    const auto start = Clock::now();
    sync.fault(false);
    for (std::size_t i = 0; i < kMostUnanswered; ++i)
        sync.resync_sent(sync.resync_count(start).value(), start);
    EXPECT_FALSE(sync.resync_count(start + std::chrono::seconds(9)));
    EXPECT_EQ(sync.resync_count(start + kUnansweredForgotten), 1) << "nothing heard for long: a new round";

    sync.line_renewed();
    EXPECT_FALSE(sync.in_step());
    EXPECT_EQ(sync.resync_count(start), 1);
}

}  // namespace
}  // namespace monitor
