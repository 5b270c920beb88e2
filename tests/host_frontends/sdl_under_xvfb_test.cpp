// The SDL2 front end on a private Xvfb display: a screenshot of the window
// shows the painted glyphs and the layer's line; SDL events become messages.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "tests/host_frontends/font_for_tests.h"
#include "host/desktop.h"
#include "host/sdl_front_end.h"
#include "host/sdl_key_translation.h"
#include "tests/support/command_output.h"
#include "tests/support/xvfb_server.h"

// Under the address sanitizer: SDL's X11 start loads D-Bus and the Mesa/LLVM
// graphics libraries, which keep allocations to the end and are partly unloaded
// by then, so their leaks cannot even be attributed. Leak checks of the
// front-end code run in the other test programs.
extern "C" const char* __lsan_default_options()  // NOLINT(readability-identifier-naming): the sanitizer's hook
{
    return "detect_leaks=0";
}

namespace {

using host::Message;
using host::MessageKind;
namespace vk = host::vk;

using qk_test::XvfbServer;

// A screenshot of the whole X screen as 0x00RRGGBB pixels, read from xwd's dump
// (a header of big-endian 32-bit fields, a colour table, then the pixel rows).
struct Screenshot {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};

Screenshot take_screenshot(const std::string& display)
{
    const std::string output = qk_test::command_output("xwd -root -silent -display " + display);
    const std::vector<unsigned char> dump(output.begin(), output.end());
    auto field = [&](std::size_t index) -> std::uint32_t {
        const std::size_t at = index * 4;
        return at + 4 > dump.size() ? 0
                                    : std::uint32_t(dump[at]) << 24 | std::uint32_t(dump[at + 1]) << 16 |
                                          std::uint32_t(dump[at + 2]) << 8 | dump[at + 3];
    };
    const std::uint32_t header_size = field(0), format = field(2), width = field(4), height = field(5);
    const std::uint32_t msb_first = field(7), bits_per_pixel = field(11), bytes_per_line = field(12);
    const std::uint32_t colours = field(19);
    const std::size_t data = std::size_t(header_size) + std::size_t(colours) * 12;
    const std::uint32_t bytes_per_pixel = bits_per_pixel / 8;
    if (format != 2 || (bytes_per_pixel != 3 && bytes_per_pixel != 4) ||
        data + std::size_t(bytes_per_line) * height > dump.size())
        return {};
    Screenshot shot;
    shot.width = int(width), shot.height = int(height);
    shot.pixels.resize(std::size_t(width) * height);
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            const unsigned char* p = dump.data() + data + std::size_t(y) * bytes_per_line + x * bytes_per_pixel;
            std::uint32_t value = 0;
            for (std::uint32_t i = 0; i < bytes_per_pixel; ++i)
                value |= std::uint32_t(p[i]) << (8 * (msb_first ? bytes_per_pixel - 1 - i : i));
            shot.pixels[std::size_t(y) * width + x] = value & 0xFFFFFF;  // the 24-bit screen's masks
        }
    }
    return shot;
}

bool have(const char* tool)
{
    return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

class SdlUnderXvfb : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!have("Xvfb") || !have("xwd"))
            return;
        server_ = std::make_unique<XvfbServer>();
    }
    static void TearDownTestSuite() { server_.reset(); }

    void SetUp() override
    {
        if (!server_)
            GTEST_SKIP() << "Xvfb or xwd is not installed";
        ASSERT_FALSE(server_->display().empty()) << "Xvfb did not start";
        setenv("DISPLAY", server_->display().c_str(), 1);
        auto front_end = std::make_unique<host::SdlFrontEnd>(host::BitmapFont::load(host::BitmapFont::kDefaultFile));
        sdl_ = front_end.get();
        desktop_ = std::make_unique<host::Desktop>(std::move(front_end));
        host::WindowInfo info;
        info.title_sjis = "Qk14";
        info.client_width = 640;
        info.client_height = 432;
        window_ = desktop_->create_window(info, [](const Message&) { return std::int64_t{0}; });
    }

    void TearDown() override
    {
        desktop_.reset();
    }

    std::vector<Message> collect(std::chrono::milliseconds timeout = std::chrono::milliseconds(200))
    {
        std::vector<Message> messages;
        Message m;
        const auto until = std::chrono::steady_clock::now() + timeout;
        do {
            desktop_->front_end().collect_events(*desktop_, std::chrono::milliseconds(20));
            while (desktop_->peek(m))
                messages.push_back(m);
        } while (std::chrono::steady_clock::now() < until);
        return messages;
    }

    SDL_Window* sdl_window() const
    {
        for (std::uint32_t id = 1; id < 64; ++id) {
            if (SDL_Window* w = SDL_GetWindowFromID(id))
                return w;
        }
        return nullptr;
    }

    static std::unique_ptr<XvfbServer> server_;
    host::SdlFrontEnd* sdl_ = nullptr;
    std::unique_ptr<host::Desktop> desktop_;
    host::WindowId window_ = 0;
};

std::unique_ptr<XvfbServer> SdlUnderXvfb::server_;

TEST_F(SdlUnderXvfb, WindowShowsGlyphsAndTheLayerLine)
{
    constexpr std::uint32_t kWhite = 0xFFFFFF, kNavy = 0x000080, kYellow = 0xFFFF00;
    host::Surface layer(640, 432, kNavy);
    for (int x = 48; x <= 424; ++x)
        layer.pixel(x, 197) = kWhite;
    host::FrontEnd& front_end = desktop_->front_end();
    front_end.begin_paint(window_);
    front_end.paint_from_layer(window_, layer, host::Rect{0, 0, 640, 432});
    host::TextRun run;
    run.column = 2, run.row = 1, run.x = 16, run.y = 18;
    run.text = "A\x88\xEA";  // A一
    run.foreground = kYellow;
    front_end.paint_text(window_, run);
    front_end.end_paint(window_);
    collect();  // let the window map and be exposed
    sdl_->present_all();

    const Screenshot shot = take_screenshot(server_->display());
    ASSERT_GE(shot.width, 640);
    ASSERT_GE(shot.height, 432);
    for (int x = 48; x <= 424; x += 47)
        EXPECT_EQ(shot.at(x, 197), kWhite) << x;
    EXPECT_EQ(shot.at(424, 197), kWhite);
    EXPECT_EQ(shot.at(47, 197), kNavy);
    EXPECT_EQ(shot.at(425, 197), kNavy);
    EXPECT_EQ(shot.at(100, 196), kNavy);
    // "A" in the cell at (16, 18): apex pixels 3 and 4 of glyph row 4, crossbar in row 9.
    const int top = 18 + host::kGlyphTop;
    EXPECT_EQ(shot.at(16 + 3, top + 4), kYellow);
    EXPECT_EQ(shot.at(16 + 4, top + 4), kYellow);
    EXPECT_EQ(shot.at(16 + 0, top + 4), kNavy);
    EXPECT_EQ(shot.at(16 + 1, top + 9), kYellow);
    // 一 across the next two cells (x 24..39), its stroke in glyph row 7.
    EXPECT_EQ(shot.at(24 + 1, top + 7), kYellow);
    EXPECT_EQ(shot.at(24 + 14, top + 7), kYellow);
    EXPECT_EQ(shot.at(24 + 1, top + 6), kNavy);
    // Outside the window: the empty X screen.
    EXPECT_NE(shot.at(700, 500), kNavy);
}

TEST_F(SdlUnderXvfb, EventsBecomeMessages)
{
    collect();
    SDL_Window* w = sdl_window();
    ASSERT_NE(w, nullptr);
    const std::uint32_t id = SDL_GetWindowID(w);
    auto push_key = [&](SDL_Keycode key, std::uint16_t mod) {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.windowID = id;
        e.key.keysym.sym = key;
        e.key.keysym.mod = mod;
        SDL_PushEvent(&e);
    };
    push_key(SDLK_F5, 0);
    push_key(SDLK_c, KMOD_LCTRL);
    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    text.text.windowID = id;
    std::snprintf(text.text.text, sizeof text.text.text, "%s", "漢a");
    SDL_PushEvent(&text);
    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.windowID = id;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    SDL_PushEvent(&close);

    std::vector<Message> keys;
    for (const Message& m : collect()) {
        if (m.kind == MessageKind::KeyDown || m.kind == MessageKind::Char || m.kind == MessageKind::Close)
            keys.push_back(m);
    }
    ASSERT_EQ(keys.size(), 7U);
    EXPECT_EQ(keys[0].key, vk::kF1 + 4);
    EXPECT_EQ(keys[1].key, vk::kKeyC);
    EXPECT_TRUE(keys[2].kind == MessageKind::Char && keys[2].character == 3);
    EXPECT_EQ(keys[3].character, 0x8AU);
    EXPECT_EQ(keys[4].character, 0xBFU);
    EXPECT_EQ(keys[5].character, unsigned('a'));
    EXPECT_EQ(keys[6].kind, MessageKind::Close);
    EXPECT_EQ(keys[6].window, window_);
}

TEST_F(SdlUnderXvfb, ResizingPostsSizeAndWheelScrolls)
{
    collect();
    SDL_Window* w = sdl_window();
    ASSERT_NE(w, nullptr);
    SDL_SetWindowSize(w, 560, 300);
    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.windowID = SDL_GetWindowID(w);
    wheel.wheel.y = -2;
    SDL_PushEvent(&wheel);
    int size_seen = 0, line_downs = 0;
    for (const Message& m : collect(std::chrono::milliseconds(500))) {
        if (m.kind == MessageKind::Size && m.client_size == host::ClientSize{560, 300})
            ++size_seen;
        if (m.kind == MessageKind::VScroll && m.scroll_request == host::scroll::kLineDown)
            ++line_downs;
    }
    EXPECT_EQ(size_seen, 1);
    EXPECT_EQ(line_downs, 2);
    EXPECT_EQ(sdl_->window_pixels(window_)->width(), 560);
}

// Real key presses through the X server (xdotool): at the largest scale (the
// 800x600 display holds scale 1 only) Ctrl+Plus, Ctrl+= and Ctrl+keypad Plus
// change nothing and type nothing; the "a" after them arrives as the only text.
TEST_F(SdlUnderXvfb, ScaleKeysTypedOnTheKeyboardNeverReachTheProgram)
{
    if (!have("xdotool"))
        GTEST_SKIP() << "xdotool is not installed";
    collect();
    ASSERT_EQ(sdl_->scale(window_), 1);
    const std::string display = "DISPLAY=" + server_->display() + " ";
    ASSERT_EQ(std::system((display + "xdotool search --sync --name '^Qk14$' windowfocus --sync").c_str()), 0);
    ASSERT_EQ(std::system((display + "xdotool key --delay 20 ctrl+plus ctrl+equal ctrl+KP_Add a").c_str()), 0);
    std::vector<Message> messages;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    const auto typed_a = [&] {
        return std::any_of(messages.begin(), messages.end(),
                           [](const Message& m) { return m.kind == MessageKind::Char && m.character == 'a'; });
    };
    while (!typed_a() && std::chrono::steady_clock::now() < until) {
        const std::vector<Message> more = collect(std::chrono::milliseconds(50));
        messages.insert(messages.end(), more.begin(), more.end());
    }
    ASSERT_TRUE(typed_a()) << "the keys did not reach the window";
    std::string text;
    std::vector<std::uint32_t> keys;
    for (const Message& m : messages) {
        if (m.kind == MessageKind::Char)
            text += static_cast<char>(m.character);
        if (m.kind == MessageKind::KeyDown && m.key != vk::kControl && m.key != vk::kShift)
            keys.push_back(m.key);
    }
    EXPECT_EQ(text, "a");
    EXPECT_EQ(keys, std::vector<std::uint32_t>{'A'});
    EXPECT_EQ(sdl_->scale(window_), 1);
}

// On a 1920x1080 display the window opens at scale 2 and shows every pixel of
// the 1x rendering as a 2x2 block; Ctrl+Minus and Ctrl+Plus change the scale
// and never reach the program.
TEST(SdlScaling, FullHdDisplayShowsTheScreenDoubledPixelForPixel)
{
    if (!have("Xvfb") || !have("xwd"))
        GTEST_SKIP() << "Xvfb or xwd is not installed";
    XvfbServer server("1920x1080x24");
    ASSERT_FALSE(server.display().empty()) << "Xvfb did not start";
    setenv("DISPLAY", server.display().c_str(), 1);
    auto front_end = std::make_unique<host::SdlFrontEnd>(host::BitmapFont::load(host::BitmapFont::kDefaultFile));
    host::SdlFrontEnd* sdl = front_end.get();
    host::Desktop desktop(std::move(front_end));
    host::WindowInfo info;
    info.title_sjis = "Qk14";
    info.client_width = 640;
    info.client_height = 432;
    const host::WindowId window = desktop.create_window(info, [](const Message&) { return std::int64_t{0}; });
    auto collect = [&] {
        std::vector<Message> messages;
        Message m;
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
        do {
            desktop.front_end().collect_events(desktop, std::chrono::milliseconds(20));
            while (desktop.peek(m))
                messages.push_back(m);
        } while (std::chrono::steady_clock::now() < until);
        return messages;
    };

    host::Surface layer(640, 432, 0x000080);
    for (int x = 48; x <= 424; ++x)
        layer.pixel(x, 197) = 0xFFFFFF;
    host::FrontEnd& painter = desktop.front_end();
    painter.begin_paint(window);
    painter.paint_from_layer(window, layer, host::Rect{0, 0, 640, 432});
    host::TextRun run;
    run.column = 2, run.row = 1, run.x = 16, run.y = 18;
    run.text = "Ag\x88\xEA";  // Ag一
    run.foreground = 0xFFFF00;
    painter.paint_text(window, run);
    painter.end_paint(window);
    collect();
    sdl->present_all();

    ASSERT_EQ(sdl->scale(window), 2);
    const Screenshot shot = take_screenshot(server.display());
    ASSERT_GE(shot.width, 1280);
    ASSERT_GE(shot.height, 864);
    const host::Surface& one = *sdl->window_pixels(window);
    ASSERT_EQ(one.width(), 640);
    int differing = 0, yellow = 0;
    for (int y = 0; y < 864; ++y) {
        for (int x = 0; x < 1280; ++x) {
            const std::uint32_t expected = one.pixel(x / 2, y / 2) & 0xFFFFFF;
            differing += shot.at(x, y) != expected;
            yellow += expected == 0xFFFF00;
        }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(yellow, 4 * 20);  // the glyphs are there to compare

    SDL_Window* sdl_window = SDL_GetWindowFromID(1);
    for (std::uint32_t id = 1; !sdl_window && id < 64; ++id)
        sdl_window = SDL_GetWindowFromID(id);
    ASSERT_NE(sdl_window, nullptr);
    auto press = [&](SDL_Keycode key) {
        for (const std::uint32_t type : {SDL_KEYDOWN, SDL_KEYUP}) {
            SDL_Event e{};
            e.type = type;
            e.key.windowID = SDL_GetWindowID(sdl_window);
            e.key.keysym.sym = key;
            e.key.keysym.mod = KMOD_LCTRL;
            SDL_PushEvent(&e);
        }
        int key_messages = 0;
        for (const Message& m : collect())
            key_messages += m.kind == MessageKind::KeyDown || m.kind == MessageKind::KeyUp ||
                            m.kind == MessageKind::Char || m.kind == MessageKind::SysKeyDown;
        return key_messages;
    };
    EXPECT_EQ(press(SDLK_MINUS), 0);
    EXPECT_EQ(sdl->scale(window), 1);
    int width = 0, height = 0;
    SDL_GetWindowSize(sdl_window, &width, &height);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 432);
    EXPECT_EQ(press(SDLK_KP_PLUS), 0);
    EXPECT_EQ(sdl->scale(window), 2);
    EXPECT_EQ(press(SDLK_EQUALS), 0);
    EXPECT_EQ(sdl->scale(window), 2);  // 3 x 432 is taller than the display
    EXPECT_EQ(sdl->window_pixels(window)->width(), 640);  // the program's screen keeps its size
}

TEST(SdlKeyTranslation, ControlKeysMakeCharactersAndAltIsASystemKey)
{
    const auto enter = host::messages_for_sdl_key(true, SDLK_RETURN, 0, 1);
    ASSERT_EQ(enter.size(), 2U);
    EXPECT_EQ(enter[1].kind, MessageKind::Char);
    EXPECT_EQ(enter[1].character, 13U);
    const auto esc = host::messages_for_sdl_key(true, SDLK_ESCAPE, 0, 1);
    EXPECT_EQ(esc[1].character, 27U);
    const auto letter = host::messages_for_sdl_key(true, SDLK_a, 0, 1);
    ASSERT_EQ(letter.size(), 1U);  // its character comes as text input
    EXPECT_EQ(letter[0].key, unsigned('A'));
    const auto alt_x = host::messages_for_sdl_key(true, SDLK_x, KMOD_LALT, 1);
    ASSERT_EQ(alt_x.size(), 1U);
    EXPECT_EQ(alt_x[0].kind, MessageKind::SysKeyDown);
    const auto f10 = host::messages_for_sdl_key(true, SDLK_F10, 0, 1);
    EXPECT_EQ(f10[0].kind, MessageKind::SysKeyDown);
    // Left Alt with 1..9, 0, - and = stands for F1..F12; with AltGr it does not.
    const auto alt_0 = host::messages_for_sdl_key(true, SDLK_0, KMOD_LALT, 1);
    ASSERT_EQ(alt_0.size(), 1U);
    EXPECT_TRUE(alt_0[0].kind == f10[0].kind && alt_0[0].key == vk::kF1 + 9);
    const auto alt_minus = host::messages_for_sdl_key(true, SDLK_MINUS, KMOD_LALT, 1);
    ASSERT_EQ(alt_minus.size(), 1U);
    EXPECT_EQ(alt_minus[0].kind, MessageKind::KeyDown);
    EXPECT_EQ(alt_minus[0].key, vk::kF1 + 10);
    EXPECT_EQ(host::messages_for_sdl_key(false, SDLK_1, KMOD_LALT, 1)[0].key, vk::kF1);
    EXPECT_EQ(host::messages_for_sdl_key(true, SDLK_EQUALS, KMOD_LALT, 1)[0].key, vk::kF12);
    EXPECT_EQ(host::messages_for_sdl_key(true, SDLK_1, KMOD_RALT, 1)[0].key, unsigned('1'));
    const auto shift_up = host::messages_for_sdl_key(false, SDLK_LSHIFT, 0, 1);
    EXPECT_EQ(shift_up[0].kind, MessageKind::KeyUp);
    EXPECT_EQ(shift_up[0].key, vk::kShift);
    EXPECT_TRUE(host::messages_for_sdl_key(true, SDLK_CAPSLOCK, 0, 1).empty());
    EXPECT_EQ(host::virtual_key_for_sdl(SDLK_PAGEDOWN), vk::kPageDown);
    EXPECT_EQ(host::virtual_key_for_sdl(SDLK_F12), vk::kF12);
}

}  // namespace
