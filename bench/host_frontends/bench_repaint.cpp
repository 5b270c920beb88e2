// Full 80x24 repaints on each front end, and start-up to the first frame.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <thread>

#include "host/bitmap_font.h"
#include "host/desktop.h"
#include "host/headless_front_end.h"
#include "host/sdl_front_end.h"
#include "host/terminal_front_end.h"
#include "bench/host_frontends/repaint_scene.h"
#include "tests/support/xvfb_server.h"

namespace {

host::WindowId open_window(host::Desktop& desktop)
{
    return desktop.create_window(RepaintScene::window_info(), [](const host::Message&) { return std::int64_t{0}; });
}

void headless_repaint(benchmark::State& state)
{
    host::Desktop desktop(std::make_unique<host::HeadlessFrontEnd>());
    const host::WindowId window = open_window(desktop);
    RepaintScene scene;
    for (auto _ : state)
        scene.paint(desktop.front_end(), window);
}
BENCHMARK(headless_repaint)->Unit(benchmark::kMicrosecond);

// Font file read and indexed, front end made, window created, first frame painted.
void headless_start_to_first_frame(benchmark::State& state)
{
    for (auto _ : state) {
        host::Desktop desktop(std::make_unique<host::HeadlessFrontEnd>());
        const host::WindowId window = open_window(desktop);
        RepaintScene scene;
        scene.paint(desktop.front_end(), window);
    }
}
BENCHMARK(headless_start_to_first_frame)->Unit(benchmark::kMillisecond);

// Standard input and output on a pseudo-terminal whose output a thread discards;
// restored when the object goes.
class PseudoTerminalStdio {
public:
    PseudoTerminalStdio()
    {
        winsize size{24, 80, 0, 0};
        int slave = -1;
        if (openpty(&master_, &slave, nullptr, nullptr, &size) != 0)
            return;
        saved_in_ = dup(STDIN_FILENO);
        saved_out_ = dup(STDOUT_FILENO);
        dup2(slave, STDIN_FILENO);
        dup2(slave, STDOUT_FILENO);
        close(slave);
        drain_ = std::thread([this] {
            char buffer[65536];
            while (!stop_ && read(master_, buffer, sizeof buffer) > 0) {
            }
        });
    }
    ~PseudoTerminalStdio()
    {
        if (master_ < 0)
            return;
        dup2(saved_in_, STDIN_FILENO);
        dup2(saved_out_, STDOUT_FILENO);
        close(saved_in_);
        close(saved_out_);
        stop_ = true;
        close(master_);  // ends the blocked read
        drain_.join();
    }
    bool ready() const noexcept { return master_ >= 0; }

private:
    int master_ = -1, saved_in_ = -1, saved_out_ = -1;
    std::atomic<bool> stop_{false};
    std::thread drain_;
};

void tty_repaint(benchmark::State& state)
{
    setenv("TERM", "xterm-256color", 1);
    PseudoTerminalStdio terminal;
    if (!terminal.ready()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    {
        host::Desktop desktop(std::make_unique<host::TerminalFrontEnd>());
        const host::WindowId window = open_window(desktop);
        RepaintScene scene;
        for (auto _ : state)
            scene.paint(desktop.front_end(), window);
    }
}
BENCHMARK(tty_repaint)->Unit(benchmark::kMicrosecond);

std::unique_ptr<qk_test::XvfbServer>& xvfb()
{
    static std::unique_ptr<qk_test::XvfbServer> server = [] {
        auto s = std::make_unique<qk_test::XvfbServer>();
        if (!s->display().empty())
            setenv("DISPLAY", s->display().c_str(), 1);
        return s;
    }();
    return server;
}

void sdl_repaint(benchmark::State& state)
{
    if (xvfb()->display().empty()) {
        state.SkipWithError("Xvfb did not start");
        return;
    }
    std::unique_ptr<host::SdlFrontEnd> sdl;
    try {
        sdl = std::make_unique<host::SdlFrontEnd>();
    } catch (const std::runtime_error& e) {
        state.SkipWithError(e.what());
        return;
    }
    host::Desktop desktop(std::move(sdl));
    const host::WindowId window = open_window(desktop);
    RepaintScene scene;
    for (auto _ : state)
        scene.paint(desktop.front_end(), window);
}
BENCHMARK(sdl_repaint)->Unit(benchmark::kMicrosecond);

void sdl_start_to_first_frame(benchmark::State& state)
{
    if (xvfb()->display().empty()) {
        state.SkipWithError("Xvfb did not start");
        return;
    }
    for (auto _ : state) {
        host::Desktop desktop(std::make_unique<host::SdlFrontEnd>());
        const host::WindowId window = open_window(desktop);
        RepaintScene scene;
        scene.paint(desktop.front_end(), window);
    }
}
BENCHMARK(sdl_start_to_first_frame)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
