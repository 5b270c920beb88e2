#include <gtest/gtest.h>

#include "tests/console/headless_console.h"

namespace rt::console {
namespace {

using testing::HeadlessConsole;

void send(HeadlessConsole& c, host::Message message)
{
    message.window = c.window->id();
    c.desktop->send(message);
}

void send(HeadlessConsole& c, host::MessageKind kind)
{
    send(c, host::Message{.kind = kind});
}

void resize(HeadlessConsole& c, int width, int height)
{
    send(c, host::Message{.kind = host::MessageKind::Size, .client_size = {width, height}});
}

void scroll(HeadlessConsole& c, host::MessageKind kind, std::uint32_t request, int thumb_position = 0)
{
    send(c, host::Message{.kind = kind, .scroll_request = request, .thumb_position = thumb_position});
}

TEST(ConsoleWindow, OpensShowingTheWholeScreenWithEmptyScrollRanges)
{
    HeadlessConsole console;
    const auto* surface = console.front_end->client_surface(console.window->id());
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->width(), 640);
    EXPECT_EQ(surface->height(), 432);
    EXPECT_EQ(console.window->horizontal_scroll().minimum, 0);
    EXPECT_EQ(console.window->horizontal_scroll().maximum, 0);
    EXPECT_EQ(console.window->vertical_scroll().maximum, 0);
    EXPECT_EQ(console.front_end->title_utf8(console.window->id()), "TEST");
    host::SizeLimits limits;
    send(console, host::Message{.kind = host::MessageKind::GetSizeLimits, .size_limits = &limits});
    EXPECT_EQ(limits.largest_width, 640);
    EXPECT_EQ(limits.largest_height, 432);
}

TEST(ConsoleWindow, ShrinkingGivesScrollRangesAndLineRightMovesTheView)
{
    HeadlessConsole console;
    resize(console, 70 * 8, 20 * 18);
    EXPECT_EQ(console.window->horizontal_scroll().maximum, 9);
    EXPECT_EQ(console.window->vertical_scroll().maximum, 3);
    scroll(console, host::MessageKind::HScroll, host::scroll::kLineDown);
    EXPECT_EQ(console.state().view_column, 1);
    EXPECT_EQ(console.window->horizontal_scroll().position, 1);
    // Clamped to cells - visible - 1.
    scroll(console, host::MessageKind::HScroll, host::scroll::kPageDown);
    EXPECT_EQ(console.state().view_column, 9);
    scroll(console, host::MessageKind::HScroll, host::scroll::kLineUp);
    EXPECT_EQ(console.state().view_column, 8);
    scroll(console, host::MessageKind::VScroll, host::scroll::kThumbPosition, 2);
    EXPECT_EQ(console.state().view_row, 2);
    // Growing again puts the view back to 0.
    resize(console, 640, 432);
    EXPECT_EQ(console.state().view_column, 0);
    EXPECT_EQ(console.state().view_row, 0);
    EXPECT_EQ(console.window->horizontal_scroll().maximum, 0);
}

TEST(ConsoleWindow, FocusShowsTheCaretWhenTheCursorSwitchIsOn)
{
    HeadlessConsole console;
    console.state().cursor_switch = 1;
    console.locate(3, 2);
    send(console, host::MessageKind::SetFocus);
    auto caret = console.front_end->caret(console.window->id());
    EXPECT_TRUE(caret.visible);
    EXPECT_EQ(caret.x, 24);
    EXPECT_EQ(caret.y, 36);
    EXPECT_EQ(caret.width, 2);
    EXPECT_EQ(caret.height, 18);
    send(console, host::MessageKind::KillFocus);
    EXPECT_FALSE(console.front_end->caret(console.window->id()).visible);
    EXPECT_EQ(console.state().focus, 0);
}

TEST(ConsoleWindow, KeysGoToTheQueue)
{
    HeadlessConsole console;
    send(console, host::Message{.kind = host::MessageKind::Char, .character = 'q'});
    send(console, host::Message{.kind = host::MessageKind::KeyDown, .key = host::vk::kPageDown, .repeat_count = 1});
    EXPECT_EQ(console.window->keys().pop(), 'q');
    EXPECT_EQ(console.window->keys().pop(), 20);
}

TEST(ConsoleWindow, ClosingDestroysTheWindowAndPostsQuitWithCodeZero)
{
    HeadlessConsole console;
    send(console, host::MessageKind::Close);
    EXPECT_FALSE(console.window->alive());
    EXPECT_FALSE(console.desktop->window_exists(console.window->id()));
    host::Message m;
    ASSERT_TRUE(console.desktop->peek(m));
    EXPECT_EQ(m.kind, host::MessageKind::Quit);
    EXPECT_EQ(m.exit_code, 0);
}

}  // namespace
}  // namespace rt::console
