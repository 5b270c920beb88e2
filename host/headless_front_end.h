// The front end without an output device: messages come from the program or a
// test (inject) or from a script of keys and waits; paint calls are rendered
// into a client surface and into text rows that tests and batch runs can read.
// Bells are counted; message boxes are written to standard error.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "host/bitmap_font.h"
#include "host/cell_grid.h"
#include "host/code_page.h"
#include "host/front_end.h"
#include "host/input_script.h"
#include "host/pixel_painter.h"

namespace host {

class HeadlessFrontEnd final : public FrontEnd {
public:
    using Clock = std::chrono::steady_clock;

    explicit HeadlessFrontEnd(BitmapFont font);
    HeadlessFrontEnd() : HeadlessFrontEnd(BitmapFont::load_configured()) {}
    ~HeadlessFrontEnd() override;

    // Input. Window 0 in an injected message means the main window. Thread-safe.
    void inject(const Message& message);
    // Appends the steps of a script; throws InputScriptError.
    void add_script(std::string_view script);
    // Reads a script file ("-": standard input, read to its end); throws
    // std::runtime_error when it cannot be read, InputScriptError when it is bad.
    void add_script_file(const std::string& path);
    bool script_finished() const noexcept { return script_.empty(); }

    // Messages due now (injected ones, then script steps whose time has come),
    // addressed to real windows. Output steps of the script run here as well.
    std::vector<Message> take_ready_messages();

    // Output. WindowId 0 means the main window (the oldest existing one).
    WindowId main_window() const noexcept;
    const Surface* client_surface(WindowId window = 0) const noexcept;
    std::vector<std::string> screen_rows(WindowId window = 0) const;       // Shift-JIS bytes
    std::vector<std::string> screen_rows_utf8(WindowId window = 0) const;
    CaretState caret(WindowId window = 0) const noexcept;
    std::string title_utf8(WindowId window = 0) const;
    bool write_png(const std::string& path, std::string* error = nullptr) const;
    // The text rows as UTF-8 lines; "-" writes to standard output.
    bool write_screen(const std::string& path) const;
    int bell_count() const noexcept { return bells_; }

    // FrontEnd
    void collect_events(Desktop& desktop, std::chrono::milliseconds timeout) override;
    void wake() noexcept override;
    void window_created(WindowId window, const WindowInfo& info) override;
    void window_destroyed(WindowId window) override;
    void set_title(WindowId window, std::string_view title_sjis) override;
    void set_client_size(WindowId window, int width, int height) override;
    void set_view_origin(WindowId window, int column, int row) override;
    void paint_from_layer(WindowId window, const Surface& layer, const Rect& area) override;
    void paint_text(WindowId window, const TextRun& run) override;
    void paint_fill(WindowId window, const Rect& area, std::uint32_t colour) override;
    Surface* window_pixels(WindowId window) override;
    void set_caret(WindowId window, bool visible, int x, int y, int width, int height) override;
    void bell() override;
    void message_box(std::string_view caption_sjis, std::string_view text_sjis) override;

private:
    struct WindowState;
    WindowState* find(WindowId window) noexcept;
    const WindowState* find(WindowId window) const noexcept;
    Message addressed(Message message) const noexcept;

    BitmapFont font_;
    mutable ShiftJisCodec codec_;
    std::map<WindowId, std::unique_ptr<WindowState>> windows_;

    void write_live_screen(Clock::time_point now);

    std::deque<ScriptStep> script_;
    Clock::time_point next_step_at_{};
    std::string live_path_;  // the script's "live" file
    std::vector<std::string> live_rows_;
    Clock::time_point next_live_at_{};
    std::optional<Clock::time_point> until_deadline_;  // of the "until" step being checked
    static constexpr std::chrono::milliseconds kUntilCheckInterval{5};

    std::mutex mutex_;  // guards injected_ and woken_
    std::condition_variable wake_signal_;
    std::deque<Message> injected_;
    bool woken_ = false;

    int bells_ = 0;
};

}  // namespace host
