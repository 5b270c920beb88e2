// The programs' way to a window: make_front_end loads the SDL front end from
// its module (placed beside this test as beside the programs) and the window
// it opens on a private Xvfb display takes paint calls.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "host/desktop.h"
#include "host/front_end_choice.h"
#include "host/headless_front_end.h"
#include "tests/support/xvfb_server.h"

namespace {

using qk_test::XvfbServer;

TEST(SdlFrontEndModule, ExplicitSdlChoiceOpensAWindowFromTheModule)
{
    if (std::system("command -v Xvfb >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "Xvfb is not installed";
    XvfbServer server;
    ASSERT_FALSE(server.display().empty()) << "Xvfb did not start";
    setenv("DISPLAY", server.display().c_str(), 1);
    host::FrontEndChoice choice;
    choice.kind = host::FrontEndKind::Sdl;
    choice.scale = 1;
    {
        std::unique_ptr<host::FrontEnd> front_end = host::make_front_end(choice);
        ASSERT_NE(front_end, nullptr);
        EXPECT_EQ(dynamic_cast<host::HeadlessFrontEnd*>(front_end.get()), nullptr);
        host::Desktop desktop(std::move(front_end));
        host::WindowInfo info;
        info.title_sjis = "Qk14";
        info.client_width = 640;
        info.client_height = 432;
        const host::WindowId window =
            desktop.create_window(info, [](const host::Message&) { return std::int64_t{0}; });
        host::Surface* pixels = desktop.front_end().window_pixels(window);
        ASSERT_NE(pixels, nullptr);
        EXPECT_EQ(pixels->width(), 640);
        EXPECT_EQ(pixels->height(), 432);
    }
    // The automatic choice with a display takes the window too (one SDL session at a time).
    choice.kind = host::FrontEndKind::Automatic;
    EXPECT_EQ(dynamic_cast<host::HeadlessFrontEnd*>(host::make_front_end(choice).get()), nullptr);
}

}  // namespace
