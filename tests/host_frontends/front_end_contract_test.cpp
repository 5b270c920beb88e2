// What every front end owes the desktop, checked on each front end that can
// run here: the headless one always, the SDL2 one on a private Xvfb display.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "host/bitmap_font.h"
#include "host/desktop.h"
#include "host/headless_front_end.h"
#include "host/sdl_front_end.h"
#include "tests/support/xvfb_server.h"

namespace {

using qk_test::XvfbServer;

class FrontEndContract : public testing::TestWithParam<std::string> {
protected:
    static void SetUpTestSuite()
    {
        if (std::system("command -v Xvfb >/dev/null 2>&1") == 0)
            server_ = std::make_unique<XvfbServer>();
    }
    static void TearDownTestSuite() { server_.reset(); }

    void SetUp() override
    {
        std::unique_ptr<host::FrontEnd> front_end;
        if (GetParam() == "sdl") {
            if (!server_ || server_->display().empty())
                GTEST_SKIP() << "no Xvfb display";
            ::setenv("DISPLAY", server_->display().c_str(), 1);
            front_end = std::make_unique<host::SdlFrontEnd>(host::BitmapFont::load(host::BitmapFont::kDefaultFile));
        } else {
            front_end = std::make_unique<host::HeadlessFrontEnd>(host::BitmapFont::load(host::BitmapFont::kDefaultFile));
        }
        front_ = front_end.get();
        desktop_ = std::make_unique<host::Desktop>(std::move(front_end));
        host::WindowInfo info;
        info.title_sjis = "Qk14";
        info.client_width = 640;
        info.client_height = 432;
        desktop_->create_window(info, [](const host::Message&) { return std::int64_t{0}; });
        // Takes what the window's creation brought, so the wait below has nothing to end it but the wake.
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
        host::Message m;
        do {
            front_->collect_events(*desktop_, std::chrono::milliseconds(20));
            while (desktop_->peek(m)) {
            }
        } while (std::chrono::steady_clock::now() < until);
    }
    void TearDown() override { desktop_.reset(); }

    static std::unique_ptr<XvfbServer> server_;
    host::FrontEnd* front_ = nullptr;  // owned by desktop
    std::unique_ptr<host::Desktop> desktop_;
};

std::unique_ptr<XvfbServer> FrontEndContract::server_;

TEST_P(FrontEndContract, WakeEndsAWaitFromAnotherThread)
{
    const auto start = std::chrono::steady_clock::now();
    std::thread waker([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        front_->wake();
    });
    front_->collect_events(*desktop_, std::chrono::seconds(30));
    waker.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
}

INSTANTIATE_TEST_SUITE_P(FrontEnds, FrontEndContract, testing::Values("headless", "sdl"),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace
