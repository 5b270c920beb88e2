// Formatted numeric output as runtime operations: the picture popped from the
// string stack, items sent to the installed print channel, and the errors.
#include <gtest/gtest.h>

#include <cmath>

#include "runtime/core/basic_string.h"
#include "runtime/core/print_using.h"
#include "tests/core_strings/string_runtime_fixture.h"

namespace {

using core_strings_test::CapturePrintChannel;
using core_strings_test::error_raised_by;
using Item = CapturePrintChannel::Item;

class PrintUsingOutput : public core_strings_test::StringRuntimeTest {
protected:
    PrintUsingOutput() { runtime().set_print_channel(&channel_); }
    ~PrintUsingOutput() override { runtime().set_print_channel(nullptr); }

    void begin(std::string_view picture, std::uint16_t window = 0)
    {
        push(picture);
        rt::PRINT_USING_BEGIN(window);
    }

    CapturePrintChannel channel_;
};

TEST_F(PrintUsingOutput, ItemsGoThroughTheSelectedChannel)
{
    channel_.open.insert(3);
    begin("#####", 3);
    rt::PRINT_USING_I16(123, 2);
    rt::PRINT_USING_REAL(0, -123);
    rt::PRINT_USING_REAL(2, 123456);
    rt::PRINT_USING_END();
    EXPECT_EQ(channel_.selected, std::vector<std::uint16_t>{3});
    const std::vector<Item> expected{{"  123", 2}, {" -123", 0}, {"% 123456", 2}};
    EXPECT_EQ(channel_.items, expected);
    expect_clean();
}

TEST_F(PrintUsingOutput, FieldsAreUsedInTurnAndThePictureRestarts)
{
    begin("X=## Y=##");
    rt::PRINT_USING_I16(1, 2);
    rt::PRINT_USING_I16(2, 2);
    rt::PRINT_USING_I16(3, 0);
    rt::PRINT_USING_END();
    const std::vector<Item> expected{{"X= 1", 2}, {" Y= 2", 2}, {"X= 3", 0}};
    EXPECT_EQ(channel_.items, expected);
}

TEST_F(PrintUsingOutput, PictureIsCopiedAtBegin)
{
    rt::StrVar picture;
    picture.set("###");
    rt::STR_PUSH_VAR(picture.descriptor());
    rt::PRINT_USING_BEGIN(0);
    picture.set("abc");
    rt::PRINT_USING_I16(7, 0);
    EXPECT_EQ(channel_.items, (std::vector<Item>{{"  7", 0}}));
    rt::PRINT_USING_END();
    expect_clean(1);
}

TEST_F(PrintUsingOutput, SecondBeginReplacesThePicture)
{
    begin("## ##");
    rt::PRINT_USING_I16(1, 2);
    begin("####");
    rt::PRINT_USING_I16(2, 0);
    rt::PRINT_USING_END();
    EXPECT_EQ(channel_.items, (std::vector<Item>{{" 1", 2}, {"   2", 0}}));
}

TEST_F(PrintUsingOutput, WindowErrorsReleaseThePicture)
{
    EXPECT_EQ(error_raised_by([&] { begin("###", 9); }), rt::err::kBadWindow);
    expect_clean();
    runtime().set_print_channel(nullptr);
    EXPECT_EQ(error_raised_by([&] { begin("###"); }), rt::err::kBadWindow);
    expect_clean();
    EXPECT_EQ(error_raised_by([] { rt::PRINT_USING_I16(1, 0); }), rt::err::kBadWindow);
}

TEST_F(PrintUsingOutput, ItemErrorsPrintNothing)
{
    begin("abc");
    EXPECT_EQ(error_raised_by([] { rt::PRINT_USING_I16(1, 0); }), rt::err::kIllegalArgument);
    begin("Name: &");
    EXPECT_EQ(error_raised_by([] { rt::PRINT_USING_I16(1, 0); }), rt::err::kTypeMismatch);
    begin("###");
    EXPECT_EQ(error_raised_by([] { rt::PRINT_USING_REAL(0, std::nan("")); }), rt::err::kOverflow);
    rt::PRINT_USING_END();
    EXPECT_TRUE(channel_.items.empty());
    expect_clean();
}

TEST_F(PrintUsingOutput, ItemsWithoutAPictureRaiseFive)
{
    EXPECT_EQ(error_raised_by([] { rt::PRINT_USING_I16(1, 0); }), rt::err::kIllegalArgument);
    begin("###");
    rt::PRINT_USING_END();
    EXPECT_EQ(error_raised_by([] { rt::PRINT_USING_REAL(0, 1); }), rt::err::kIllegalArgument);
    EXPECT_TRUE(channel_.items.empty());
}

}  // namespace
