// The front end of a program that runs without a screen (the monitors'
// scripted sessions): paint calls go nowhere, there is no keyboard, and a
// message box is dropped, because the runtime also writes its closing report
// to standard error. SIGINT, SIGTERM and SIGHUP are taken through a signalfd
// (blocked for the program thread and every thread it starts later) and
// become Close and Quit, so the program ends through its normal termination:
// ports closed, trace written, output complete up to the last whole line.
#pragma once

#include <signal.h>

#include <chrono>

#include "host/file_descriptor.h"
#include "host/front_end.h"

namespace host {

class ScreenlessFrontEnd final : public FrontEnd {
public:
    ScreenlessFrontEnd();
    ~ScreenlessFrontEnd() override;
    ScreenlessFrontEnd(const ScreenlessFrontEnd&) = delete;
    ScreenlessFrontEnd& operator=(const ScreenlessFrontEnd&) = delete;

    bool shows_screen() const noexcept override { return false; }

    void collect_events(Desktop& desktop, std::chrono::milliseconds timeout) override;
    void wake() noexcept override;
    void window_created(WindowId window, const WindowInfo&) override;
    void window_destroyed(WindowId window) override;
    void paint_from_layer(WindowId, const Surface&, const Rect&) override {}
    void paint_text(WindowId, const TextRun&) override {}
    void paint_fill(WindowId, const Rect&, std::uint32_t) override {}
    void bell() override {}
    void message_box(std::string_view, std::string_view) override {}

private:
    sigset_t previous_mask_{};
    FileDescriptor signals_;  // signalfd of SIGINT, SIGTERM, SIGHUP
    FileDescriptor wake_;     // eventfd that wake() writes
    WindowId main_window_ = 0;
    bool closing_ = false;
};

}  // namespace host
