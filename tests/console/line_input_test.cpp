#include <gtest/gtest.h>

#include <string>

#include "tests/support/scoped_locale.h"
#include "tests/console/console_runtime.h"
#include "runtime/console/input_statements.h"
#include "runtime/console/keyboard_reads.h"
#include "runtime/console/screen_statements.h"
#include "runtime/core/event_table.h"
#include "runtime/core/frame_records.h"
#include "runtime/files/file_operations.h"

namespace rt::console {
namespace {

using testing::ConsoleRuntime;

// "もう一度入力してください"
const std::string kRetry = "\x82\xE0\x82\xA4\x88\xEA\x93\x78\x93\xFC\x97\xCD\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2";

std::string inkey(ConsoleRuntime& c)
{
    INKEY(0);
    return c.pop_string();
}

struct StringVariable {
    StringDescriptor d;
    ~StringVariable() { STR_FREE(d); }
    std::string text() const { return std::string(d.view()); }
};

TEST(Inkey, ReturnsQueuedKeysOneByteAtATime)
{
    ConsoleRuntime c;
    EXPECT_EQ(inkey(c), "");
    c.press(host::vk::kPageUp);
    c.press(host::vk::kPageDown);
    c.press(host::vk::kUp);
    c.press(host::vk::kDown);
    c.press(host::vk::kDelete);
    c.type("a");
    c.dispatch_all();
    EXPECT_EQ(inkey(c), "\x13");
    EXPECT_EQ(inkey(c), "\x14");
    EXPECT_EQ(inkey(c), "\x1E");
    EXPECT_EQ(inkey(c), "\x1F");
    EXPECT_EQ(inkey(c), "\x7F");
    EXPECT_EQ(inkey(c), "a");
    EXPECT_EQ(inkey(c), "");
}

TEST(Inkey, CtrlCWithTheBreakArmedShowsTheNoticeAndEndsTheProgram)
{
    qk_test::ScopedLocale japanese("ja_JP.UTF-8");
    ConsoleRuntime c;
    c.type("\x03");
    c.dispatch_all();
    c.type("k");  // the key that dismisses the notice
    EXPECT_THROW(INKEY(0), ProgramTermination);
    bool notice = false;
    for (const auto& row : c.front->screen_rows_utf8(c.window().id()))
        notice = notice || row.find("中断しました") != std::string::npos;
    EXPECT_TRUE(notice);
}

TEST(Inkey, CtrlCWithTheBreakOffGivesTheEmptyString)
{
    ConsoleRuntime c;
    c.runtime.frame().events.disarm(EventTable::kBreakEvent);
    c.type("\x03x");
    c.dispatch_all();
    EXPECT_EQ(inkey(c), "");
    EXPECT_EQ(inkey(c), "x");
}

TEST(Inkey, ClosedWindowEndsTheProgram)
{
    ConsoleRuntime c;
    c.desktop.send(host::Message{c.window().id(), host::MessageKind::Close});
    EXPECT_THROW(INKEY(0), ProgramTermination);
}

TEST(KeyboardDevice, CountsReadsAndEmptiesOnOpen)
{
    ConsoleRuntime c;
    c.runtime.frame().events.disarm(EventTable::kBreakEvent);
    c.type("zz");
    c.dispatch_all();
    push_temp("KYBD:");
    OPEN(1, 0, 2);
    EXPECT_EQ(LOC(2), 0);
    EXPECT_EQ(FILE_EOF(2), -1);
    c.type("a\x03");
    c.press(host::vk::kDelete);
    c.dispatch_all();
    EXPECT_EQ(LOC(2), 3);
    EXPECT_EQ(FILE_EOF(2), 0);
    c.type("b");  // read while waiting
    INPUT_S(3, 2);
    EXPECT_EQ(c.pop_string(), "a\x7F" "b");
}

TEST(LineInput, TwoStringFieldsSeparatedByCommaOrColon)
{
    ConsoleRuntime c;
    StringVariable a, b;
    const InputTarget targets[] = {InputTarget(a.d), InputTarget(b.d)};
    c.type("ABC, DEF\r");
    INPUT_VARS(targets);
    EXPECT_EQ(a.text(), "ABC");
    EXPECT_EQ(b.text(), "DEF");
    EXPECT_EQ(c.cell_row(0).substr(0, 10), "? ABC, DEF");
    EXPECT_EQ(c.state().cursor_row, 1);
    c.type("A:B\r");
    INPUT_VARS(targets);
    EXPECT_EQ(a.text(), "A");
    EXPECT_EQ(b.text(), "B");
}

TEST(LineInput, QuotedFieldKeepsItsComma)
{
    ConsoleRuntime c;
    StringVariable a;
    const InputTarget targets[] = {InputTarget(a.d)};
    push_temp("Name");
    INPUT_PROMPT(0, 1);
    c.type("\"X,Y\"\r");
    INPUT_VARS(targets);
    EXPECT_EQ(a.text(), "X,Y");
    EXPECT_EQ(c.cell_row(0).substr(0, 9), "Name\"X,Y\"");
}

TEST(LineInput, MissingFieldsAskAgainWithThePrompt)
{
    ConsoleRuntime c;
    StringVariable a, b;
    const InputTarget targets[] = {InputTarget(a.d), InputTarget(b.d)};
    push_temp("Two");
    INPUT_PROMPT(0, 2);
    c.type("ABC\r");
    c.type("1,2\r");
    INPUT_VARS(targets);
    EXPECT_EQ(c.cell_row(0).substr(0, 8), "Two? ABC");
    EXPECT_EQ(c.cell_row(1).substr(0, kRetry.size()), kRetry);
    EXPECT_EQ(c.cell_row(2).substr(0, 8), "Two? 1,2");
    EXPECT_EQ(a.text(), "1");
    EXPECT_EQ(b.text(), "2");
    // Too many fields ask again as well.
    StringVariable one;
    const InputTarget single[] = {InputTarget(one.d)};
    c.type("p,q\r");
    c.type("r\r");
    INPUT_VARS(single);
    EXPECT_EQ(one.text(), "r");
}

TEST(LineInput, NumbersAndTheirRange)
{
    ConsoleRuntime c;
    std::int16_t n = 0;
    const InputTarget targets[] = {InputTarget(n)};
    c.type("1 2\r");  // a space inside a number makes the field bad
    c.type(" 42 \r");
    INPUT_VARS(targets);
    EXPECT_EQ(n, 42);
    c.type("40000\r");
    EXPECT_EQ(testing::error_of([&] { INPUT_VARS(targets); }), err::kOverflow);
}

TEST(LineEditor, EditingKeysMoveAndDeleteWholeCharacters)
{
    ConsoleRuntime c;
    StringVariable a;
    const InputTarget targets[] = {InputTarget(a.d)};
    c.type("ABCD");
    c.press(host::vk::kLeft);
    c.press(host::vk::kLeft);
    c.type("\b");                 // deletes B
    c.press(host::vk::kInsert);    // overwrite
    c.type("x");                  // replaces C
    c.press(host::vk::kEnd);
    c.type("!");
    c.press(host::vk::kHome);
    c.press(host::vk::kDelete);    // deletes A
    c.type("\r");
    INPUT_VARS(targets);
    EXPECT_EQ(a.text(), "xD!");
    EXPECT_EQ(c.cell_row(0).substr(0, 8), "? xD!   ");

    c.type("\x82\xA0" "a");
    c.press(host::vk::kLeft);
    c.press(host::vk::kLeft);
    c.press(host::vk::kDelete);  // the whole double-byte character
    c.type("\r");
    INPUT_VARS(targets);
    EXPECT_EQ(a.text(), "a");

    c.type("\x82\xA0" "b");
    c.press(host::vk::kHome);
    c.press(host::vk::kInsert);  // overwrite: half of the double-byte character becomes a space
    c.type("z\r");
    INPUT_VARS(targets);
    EXPECT_EQ(a.text(), "z b");

    c.type("keep this");
    c.press(host::vk::kLeft);
    c.press(host::vk::kLeft);
    c.type("\x05" "X\r");  // code 5 deletes to the end
    INPUT_VARS(targets);
    EXPECT_EQ(a.text(), "keep thX");
}

TEST(LineEditor, ShiftHomeClearsTheTypedText)
{
    ConsoleRuntime c;
    StringVariable a;
    const InputTarget targets[] = {InputTarget(a.d)};
    c.type("HELLO");
    c.front->inject(host::Message{0, host::MessageKind::KeyDown, host::vk::kShift, 1});
    c.press(host::vk::kHome);
    c.front->inject(host::Message{0, host::MessageKind::KeyUp, host::vk::kShift, 0});
    c.type("Z\r");
    INPUT_VARS(targets);
    EXPECT_EQ(a.text(), "Z");
    EXPECT_EQ(c.cell_row(0).substr(0, 8), "? Z     ");
}

TEST(LineEditor, TypingPastTheLimitBeeps)
{
    ConsoleRuntime c;
    StringVariable a;
    const InputTarget targets[] = {InputTarget(a.d)};
    c.type(std::string(258, 'x') + "\r");
    INPUT_VARS(targets);
    EXPECT_EQ(a.text(), std::string(255, 'x'));
    EXPECT_EQ(c.front->bell_count(), 3);
}

TEST(LineEditor, RoomBelowTheRegionIsTheRestOfTheScreen)
{
    ConsoleRuntime c;
    StringVariable a;
    const InputTarget targets[] = {InputTarget(a.d)};
    CON_VIEW_REGION(0, 0, 23, kRegionTop | kRegionCount);
    LOCATE(0, 66, 23, 0, kLocateColumn | kLocateRow);
    c.type("123456789012\r");
    INPUT_VARS(targets);
    // Start after "? " at column 68: (24 - 23) x 80 - 68 - 1 = 11 cells.
    EXPECT_EQ(a.text(), "12345678901");
    EXPECT_EQ(c.front->bell_count(), 1);
}

TEST(LineEditor, KeysTypedAheadAreDiscardedAtTheEnd)
{
    ConsoleRuntime c;
    StringVariable a;
    const InputTarget targets[] = {InputTarget(a.d)};
    c.type("AB\rCD");
    c.dispatch_all();
    INPUT_VARS(targets);
    EXPECT_EQ(a.text(), "AB");
    EXPECT_TRUE(c.window().keys().empty());
}

TEST(LineEditor, CancelEndsLikeEnterWhenTheBreakIsOff)
{
    ConsoleRuntime c;
    StringVariable a;
    const InputTarget targets[] = {InputTarget(a.d)};
    c.runtime.frame().events.disarm(EventTable::kBreakEvent);
    c.type("ok\x18");
    INPUT_VARS(targets);
    EXPECT_EQ(a.text(), "ok");
    c.runtime.frame().events.arm(EventTable::kBreakEvent);
    c.type("no\x18" "k");
    EXPECT_THROW(INPUT_VARS(targets), ProgramTermination);
}

}  // namespace
}  // namespace rt::console
