// The console window: a desktop window showing one text screen, taking the
// keys into its key queue, with scroll bars over a screen larger than the
// client area. Closing the main console window posts the quit message.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "runtime/console/console_screen.h"
#include "host/desktop.h"
#include "runtime/console/key_queue.h"
#include "runtime/console/key_translation.h"

namespace rt::console {

struct ScrollRange {
    int minimum = 0;
    int maximum = 0;
    int position = 0;
};

class ConsoleWindow {
public:
    // Creates the window titled `title_sjis` with a client area of exactly
    // columns x cell width by rows x cell height and an 80 x 24 text screen.
    ConsoleWindow(host::Desktop& desktop, std::string title_sjis, KeyReactions reactions, bool main_window = true);
    // Destroys the desktop window when it still exists, without posting quit.
    ~ConsoleWindow();
    ConsoleWindow(const ConsoleWindow&) = delete;
    ConsoleWindow& operator=(const ConsoleWindow&) = delete;

    host::WindowId id() const noexcept { return id_; }
    host::Desktop& desktop() noexcept { return desktop_; }
    // False once the window has been destroyed.
    bool alive() const noexcept { return alive_; }

    ConsoleScreen& screen() noexcept { return *screen_; }
    KeyQueue& keys() noexcept { return *keys_; }
    const ScrollRange& horizontal_scroll() const noexcept { return horizontal_; }
    const ScrollRange& vertical_scroll() const noexcept { return vertical_; }

    // The program waits for a key (reports); a double click ends the wait.
    bool waiting() const noexcept { return waiting_; }
    void set_waiting(bool on) noexcept { waiting_ = on; }

    // The window procedure.
    std::int64_t handle(const host::Message& message);

    // Repaints the whole window at once.
    void repaint() { screen_->paint_all(); screen_->show_caret(); }
    void beep() { desktop_.bell(); }

private:
    void on_size(const host::Message& message);
    void on_scroll(const host::Message& message, bool horizontal);
    void on_set_focus();
    void on_kill_focus();
    void on_destroy();
    void update_scroll_ranges();
    void erase_background();

    host::Desktop& desktop_;
    KeyReactions reactions_;
    bool main_window_;
    host::WindowId id_ = 0;
    bool alive_ = false;
    bool quiet_destroy_ = false;
    bool waiting_ = false;
    int client_width_ = 0;  // the client area's actual size
    int client_height_ = 0;
    ScrollRange horizontal_;
    ScrollRange vertical_;
    std::unique_ptr<ConsoleScreen> screen_;
    std::unique_ptr<KeyQueue> keys_;
};

}  // namespace rt::console
