#include <gtest/gtest.h>

#include "monitors/monitor_shared/watch_value.h"
#include "monitors/qk14/board_description.h"
#include "monitors/qkp877w/board_description.h"

namespace monitor {
namespace {

const WatchValueStyle kLittle = value_style(qk14::kBoard, 0);
const WatchValueStyle kBig = value_style(qk14::kBoard, 1);

TEST(WatchValue, HexShowsTheReplyAsReceived)
{
    EXPECT_EQ(watch_value_text("H", "00112233445566778899AABBCCDDEEFF", kLittle), "00112233445566778899AABBCCDDEEFF");
    EXPECT_EQ(watch_value_text("H", "", kLittle), "");
}

TEST(WatchValue, BinaryUsesTheLastByte)
{
    EXPECT_EQ(watch_value_text("B", "A5", kLittle), "10100101");
    EXPECT_EQ(watch_value_text("B", "12A5", kBig), "10100101");
    EXPECT_EQ(watch_value_text("B", "5", kLittle), "00000101");
    EXPECT_EQ(watch_value_text("B", "", kLittle), "00000000");
}

TEST(WatchValue, DecimalUsesAThreeColumnPicture)
{
    EXPECT_EQ(watch_value_text("D", "FF", kLittle), "255 d");
    EXPECT_EQ(watch_value_text("D", "07", kLittle), "  7 d");
    EXPECT_EQ(watch_value_text("D", "1234", kLittle), "% 4660 d");
    // Sixteen bytes still print, as an overflowed picture.
    const auto wide = watch_value_text("D", std::string(32, 'F'), kLittle);
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->substr(0, 2), "% ");
}

TEST(WatchValue, WordFormatsInBothByteOrders)
{
    EXPECT_EQ(watch_value_text("Q", "3412", kLittle), " 4660 d");
    EXPECT_EQ(watch_value_text("Q", "3412", kBig), "13330 d");
    EXPECT_EQ(watch_value_text("W", "3412", kLittle), " 1234 h");
    EXPECT_EQ(watch_value_text("W", "3412", kBig), " 3412 h");
    EXPECT_EQ(watch_value_text("Q", "FFFF", kLittle), "65535 d");
    // QkP877W: first byte low, six columns.
    EXPECT_EQ(watch_value_text("Q", "3412", value_style(qkp877w::kBoard, 0)), "  4660 d");
    // A short reply gives what characters there are.
    EXPECT_EQ(watch_value_text("W", "34", kLittle), " 34 h");
    EXPECT_EQ(word_digits("341278", ByteOrder::Little), "1234");
}

TEST(WatchValue, OtherFormatsShowNothing)
{
    EXPECT_FALSE(watch_value_text("h", "12", kLittle));
    EXPECT_FALSE(watch_value_text("X", "12", kLittle));
    EXPECT_FALSE(watch_value_text("", "12", kLittle));
    EXPECT_FALSE(watch_value_text("HH", "12", kLittle));
}

TEST(WatchValueOutput, EraseLocateAndLineEndsPerMonitorAndPlace)
{
    using enum ValueContext;
    auto q = watch_value_output("Q", "3412", qk14::kBoard, 1, WatchPage);
    ASSERT_TRUE(q);
    EXPECT_EQ(q->erase_blanks, 7);
    EXPECT_EQ(q->locate_shift, 0);
    EXPECT_EQ(q->text, "13330 d");
    EXPECT_FALSE(q->line_end);
    q = watch_value_output("Q", "3412", qk14::kBoard, 0, ChangeRow);
    EXPECT_EQ(q->erase_blanks, 0);
    EXPECT_EQ(q->text, " 4660 d");
    q = watch_value_output("Q", "3412", qkp877w::kBoard, 1, WatchPage);
    EXPECT_EQ(q->erase_blanks, 7);
    EXPECT_EQ(q->locate_shift, -1);
    EXPECT_EQ(q->text, "  4660 d");  // BL= does not apply to QkP877W
    EXPECT_EQ(watch_value_output("Q", "3412", qkp877w::kBoard, 0, ChangeRow)->erase_blanks, 0);

    EXPECT_FALSE(watch_value_output("W", "3412", qk14::kBoard, 0, WatchPage)->line_end);
    EXPECT_TRUE(watch_value_output("W", "3412", qk14::kBoard, 0, ChangeRow)->line_end);
    EXPECT_TRUE(watch_value_output("W", "3412", qkp877w::kBoard, 0, WatchPage)->line_end);
    EXPECT_EQ(watch_value_output("W", "3412", qkp877w::kBoard, 0, WatchPage)->text, " 1234 h");
    EXPECT_FALSE(watch_value_output("H", "12", qk14::kBoard, 0, WatchPage)->line_end);
    EXPECT_FALSE(watch_value_output("Z", "12", qk14::kBoard, 0, WatchPage));
}

TEST(NumericPicture, RightAlignsAndMarksOverflow)
{
    EXPECT_EQ(picture_number(123, 5), "  123");
    EXPECT_EQ(picture_number(-123, 5), " -123");
    EXPECT_EQ(picture_number(123456, 5), "% 123456");
    EXPECT_EQ(picture_number(-1234, 4), "%-1234");
    EXPECT_EQ(picture_number(0, 3), "  0");
}

}  // namespace
}  // namespace monitor
