#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "tests/host_frontends/font_for_tests.h"
#include "host/code_page.h"
#include "host/desktop.h"
#include "host/headless_front_end.h"
#include "host/input_script.h"
#include "host/key_chord.h"

namespace {

using host::Message;
using host::MessageKind;
namespace vk = host::vk;

// The kind and the number it carries: the key of a key message, the byte of a Char.
std::uint32_t carried(const Message& m)
{
    return m.kind == MessageKind::Char ? m.character : m.key;
}

bool same(const Message& m, MessageKind kind, std::uint32_t key_or_character)
{
    return m.kind == kind && carried(m) == key_or_character;
}

std::string describe(const std::vector<Message>& messages)
{
    std::string text;
    for (const Message& m : messages)
        text += std::to_string(int(m.kind)) + ":" + std::to_string(carried(m)) + " ";
    return text;
}

TEST(KeyChord, ParsesNamesAndModifiers)
{
    const auto f5 = host::parse_key_chord("F5");
    ASSERT_TRUE(f5);
    EXPECT_EQ(f5->virtual_key, vk::kF1 + 4);
    const auto shift_home = host::parse_key_chord("shift+Home");
    ASSERT_TRUE(shift_home);
    EXPECT_TRUE(shift_home->shift);
    EXPECT_EQ(shift_home->virtual_key, vk::kHome);
    const auto ctrl_c = host::parse_key_chord("Ctrl+c");
    ASSERT_TRUE(ctrl_c);
    EXPECT_TRUE(ctrl_c->ctrl);
    EXPECT_EQ(ctrl_c->virtual_key, vk::kKeyC);
    EXPECT_EQ(host::parse_key_chord("pgdn")->virtual_key, vk::kPageDown);
    EXPECT_EQ(host::parse_key_chord("F12")->virtual_key, vk::kF12);
    EXPECT_FALSE(host::parse_key_chord("F13"));
    EXPECT_FALSE(host::parse_key_chord("hyper+A"));
    EXPECT_FALSE(host::parse_key_chord("Foo"));
    EXPECT_FALSE(host::parse_key_chord(""));
}

TEST(KeyChord, MessagesFollowThePlatformOrder)
{
    const auto ctrl_c = host::key_chord_messages(*host::parse_key_chord("ctrl+C"), 7);
    ASSERT_EQ(ctrl_c.size(), 5U) << describe(ctrl_c);
    EXPECT_TRUE(same(ctrl_c[0], MessageKind::KeyDown, vk::kControl));
    EXPECT_TRUE(same(ctrl_c[1], MessageKind::KeyDown, vk::kKeyC));
    EXPECT_TRUE(same(ctrl_c[2], MessageKind::Char, 3));
    EXPECT_TRUE(same(ctrl_c[3], MessageKind::KeyUp, vk::kKeyC));
    EXPECT_TRUE(same(ctrl_c[4], MessageKind::KeyUp, vk::kControl));
    EXPECT_EQ(ctrl_c[2].window, 7U);

    const auto shift_home = host::key_chord_messages(*host::parse_key_chord("shift+Home"), 1);
    ASSERT_EQ(shift_home.size(), 4U) << describe(shift_home);  // Home makes no character
    EXPECT_TRUE(same(shift_home[0], MessageKind::KeyDown, vk::kShift));
    EXPECT_TRUE(same(shift_home[1], MessageKind::KeyDown, vk::kHome));
    EXPECT_TRUE(same(shift_home[3], MessageKind::KeyUp, vk::kShift));

    const auto enter = host::key_chord_messages(*host::parse_key_chord("Enter"), 1);
    ASSERT_EQ(enter.size(), 3U);
    EXPECT_TRUE(same(enter[1], MessageKind::Char, 13));
    const auto esc = host::key_chord_messages(*host::parse_key_chord("Esc"), 1);
    EXPECT_TRUE(same(esc[1], MessageKind::Char, 27));
    const auto f10 = host::key_chord_messages(*host::parse_key_chord("F10"), 1);
    EXPECT_TRUE(same(f10[0], MessageKind::SysKeyDown, vk::kF1 + 9));
    EXPECT_EQ(host::chord_character(*host::parse_key_chord("shift+a")), 'A');
    EXPECT_EQ(host::chord_character(*host::parse_key_chord("a")), 'a');
    EXPECT_FALSE(host::chord_character(*host::parse_key_chord("Delete")));
}

TEST(InputScript, ParsesCommandsAndReportsTheBadLine)
{
    host::ShiftJisCodec codec;
    const auto steps = host::parse_input_script("# comment\n\ntext a b\r\nkey F5\nwait 500\ntext あ\nclose\npng x.png\n", codec);
    ASSERT_EQ(steps.size(), 6U);
    ASSERT_EQ(steps[0].messages.size(), 3U);  // "a b": the space is kept
    EXPECT_TRUE(same(steps[0].messages[1], MessageKind::Char, ' '));
    EXPECT_EQ(steps[0].line, 3);
    EXPECT_EQ(steps[2].kind, host::ScriptStep::Kind::Wait);
    EXPECT_EQ(steps[2].wait, std::chrono::milliseconds(500));
    ASSERT_EQ(steps[3].messages.size(), 2U);  // あ as Shift-JIS 0x82 0xA0
    EXPECT_TRUE(same(steps[3].messages[0], MessageKind::Char, 0x82));
    EXPECT_TRUE(same(steps[3].messages[1], MessageKind::Char, 0xA0));
    EXPECT_EQ(steps[4].kind, host::ScriptStep::Kind::Close);
    EXPECT_EQ(steps[5].path, "x.png");

    try {
        host::parse_input_script("key F5\nwiat 5\n", codec);
        FAIL() << "no error";
    } catch (const host::InputScriptError& e) {
        EXPECT_EQ(e.line(), 2);
    }
    EXPECT_THROW(host::parse_input_script("key Hyper\n", codec), host::InputScriptError);
    EXPECT_THROW(host::parse_input_script("wait 5ms\n", codec), host::InputScriptError);
    EXPECT_THROW(host::parse_input_script("wait -5\n", codec), host::InputScriptError);
    EXPECT_THROW(host::parse_input_script("png\n", codec), host::InputScriptError);
    EXPECT_THROW(host::parse_input_script("until 3\n", codec), host::InputScriptError);
    EXPECT_THROW(host::parse_input_script("until x ab\n", codec), host::InputScriptError);
}

class HeadlessFrontEndTest : public testing::Test {
protected:
    HeadlessFrontEndTest()
    {
        auto front_end = std::make_unique<host::HeadlessFrontEnd>(host::BitmapFont::load(host::BitmapFont::kDefaultFile));
        headless_ = front_end.get();
        desktop_ = std::make_unique<host::Desktop>(std::move(front_end));
        host::WindowInfo info;
        info.title_sjis = "Qk14";
        info.client_width = 640;
        info.client_height = 432;
        window_ = desktop_->create_window(info, [this](const Message& m) {
            received_.push_back(m);
            return std::int64_t{0};
        });
    }

    std::vector<Message> drain()
    {
        std::vector<Message> messages;
        Message m;
        while (desktop_->peek(m))
            messages.push_back(m);
        return messages;
    }

    host::HeadlessFrontEnd* headless_ = nullptr;
    std::unique_ptr<host::Desktop> desktop_;
    host::WindowId window_ = 0;
    std::vector<Message> received_;
};

TEST_F(HeadlessFrontEndTest, InjectedMessagesGoToTheMainWindow)
{
    headless_->inject(Message{.window = 0, .kind = MessageKind::Char, .character = 'x'});
    const auto messages = drain();
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_EQ(messages[0].window, window_);
    EXPECT_TRUE(same(messages[0], MessageKind::Char, 'x'));
}

TEST_F(HeadlessFrontEndTest, ScriptWaitsHoldBackLaterSteps)
{
    headless_->add_script("key F5\nwait 100\nkey F6\n");
    auto first = drain();
    ASSERT_EQ(first.size(), 2U) << describe(first);
    EXPECT_TRUE(same(first[0], MessageKind::KeyDown, vk::kF1 + 4));
    EXPECT_FALSE(headless_->script_finished());
    // get() waits for the rest of the script.
    const Message next = desktop_->get();
    EXPECT_TRUE(same(next, MessageKind::KeyDown, vk::kF1 + 5));
    EXPECT_TRUE(headless_->script_finished());
}

TEST_F(HeadlessFrontEndTest, CloseStepClosesTheMainWindow)
{
    headless_->add_script("close\n");
    const auto messages = drain();
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_TRUE(same(messages[0], MessageKind::Close, 0));
    EXPECT_EQ(messages[0].window, window_);
}

TEST_F(HeadlessFrontEndTest, PaintsShowAsTextRowsAndPixels)
{
    host::FrontEnd& front_end = desktop_->front_end();
    const host::Surface layer(640, 432, 0);
    front_end.begin_paint(window_);
    front_end.paint_from_layer(window_, layer, host::Rect{0, 0, 640, 432});
    host::TextRun run;
    run.x = 8, run.y = 18, run.column = 1, run.row = 1;
    run.text = "Qk14 \x83\x82\x83\x6A\x83\x5E";  // Qk14 モニタ
    run.foreground = 0xFFFFFF;
    front_end.paint_text(window_, run);
    front_end.end_paint(window_);
    const auto rows = headless_->screen_rows_utf8();
    ASSERT_EQ(rows.size(), 24U);
    EXPECT_EQ(rows[0], "");
    EXPECT_EQ(rows[1], " Qk14 モニタ");
    EXPECT_EQ(headless_->client_surface()->pixel(8 + 3, 18 + host::kGlyphTop + 4), 0xFFFFFFU);  // "Q" top stroke

    // A later restore without text blanks the cells again.
    front_end.paint_from_layer(window_, layer, host::Rect{0, 18, 640, 36});
    EXPECT_EQ(headless_->screen_rows()[1], "");
}

TEST_F(HeadlessFrontEndTest, UntilHoldsLaterStepsUntilTheRowShowsTheText)
{
    headless_->add_script("until 1 Qk14 モニタ\nkey F6\n");
    EXPECT_TRUE(drain().empty());
    host::TextRun run;
    run.x = 0, run.y = 18, run.column = 0, run.row = 1;
    run.text = "Qk14 \x83\x82\x83\x6A";  // Qk14 モニ: not yet
    desktop_->front_end().paint_text(window_, run);
    desktop_->front_end().collect_events(*desktop_, std::chrono::milliseconds(20));
    EXPECT_TRUE(drain().empty());
    run.text = "Qk14 \x83\x82\x83\x6A\x83\x5E";  // Qk14 モニタ
    desktop_->front_end().paint_text(window_, run);
    const Message next = desktop_->get();
    EXPECT_TRUE(same(next, MessageKind::KeyDown, vk::kF1 + 5));

    // A text ending in '$' must end the row: "Qk14" alone, trailing blanks aside.
    drain();  // the rest of the F6 press
    headless_->add_script("until 1 Qk14$\nkey F7\n");
    desktop_->front_end().collect_events(*desktop_, std::chrono::milliseconds(20));
    EXPECT_TRUE(drain().empty());
    run.text = "Qk14       ";
    desktop_->front_end().paint_text(window_, run);
    EXPECT_TRUE(same(desktop_->get(), MessageKind::KeyDown, vk::kF1 + 6));
}

TEST_F(HeadlessFrontEndTest, OutputStepsWaitForTheInputBeforeThem)
{
    const auto path = std::filesystem::temp_directory_path() / "qk_headless_screen.txt";
    std::filesystem::remove(path);
    headless_->add_script("text a\nscreen " + path.string() + "\n");
    Message m;
    ASSERT_TRUE(desktop_->peek(m));
    EXPECT_TRUE(same(m, MessageKind::Char, 'a'));
    EXPECT_FALSE(std::filesystem::exists(path));  // the program has not handled "a" yet
    drain();
    EXPECT_TRUE(std::filesystem::exists(path));
    std::ifstream file(path);
    int lines = 0;
    for (std::string line; std::getline(file, line);)
        ++lines;
    EXPECT_EQ(lines, 24);
    std::filesystem::remove(path);
}

TEST_F(HeadlessFrontEndTest, WritesPngCountsBellsAndKeepsTheCaret)
{
    const auto path = std::filesystem::temp_directory_path() / "qk_headless.png";
    std::string error;
    ASSERT_TRUE(headless_->write_png(path.string(), &error)) << error;
    std::ifstream file(path, std::ios::binary);
    char signature[8] = {};
    file.read(signature, 8);
    EXPECT_EQ(std::string(signature + 1, 3), "PNG");
    EXPECT_GT(std::filesystem::file_size(path), 50U);
    std::filesystem::remove(path);
    EXPECT_FALSE(headless_->write_png("/nonexistent-dir/x.png", &error));

    desktop_->bell();
    desktop_->bell();
    EXPECT_EQ(headless_->bell_count(), 2);
    desktop_->front_end().set_caret(window_, true, 16, 36, 2, 18);
    EXPECT_TRUE(headless_->caret().visible);
    EXPECT_EQ(headless_->caret().x, 16);
    EXPECT_EQ(headless_->title_utf8(), "Qk14");
}

}  // namespace
