// The front end in an SDL2 window: the client surface (rendered by the pixel
// painter) is shown through a streaming texture; keyboard, text input, focus,
// resizing and closing become messages.
//
// - The window opens at a whole multiple of the screen's size: --scale N, or
//   the largest that fits 90% of the display. It is resizable: the screen is
//   drawn at the largest whole scale that fits, centred with a black border,
//   each pixel a sharp block. Ctrl+Plus and Ctrl+Minus make the window one
//   scale larger or smaller (also at the largest or smallest scale); the
//   program never sees these keys nor the text they would type.
// - A window smaller than the screen at scale 1 shows a part of it; the mouse
//   wheel scrolls (Shift+wheel or a sideways wheel: horizontally) by sending
//   scroll messages to the console window.
// - Text from the input method arrives as UTF-8 and is sent as Shift-JIS Char
//   messages; the composition window is placed at the caret.
// - The bell flashes the window.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>

#include "host/bitmap_font.h"
#include "host/code_page.h"
#include "host/front_end.h"

union SDL_Event;

namespace host {

class SdlFrontEnd final : public FrontEnd {
public:
    // Throws std::runtime_error when SDL cannot reach a display. `scale`:
    // the window's starting scale; default: the largest that fits the display.
    explicit SdlFrontEnd(BitmapFont font, std::optional<int> scale = std::nullopt);
    explicit SdlFrontEnd(std::optional<int> scale = std::nullopt) : SdlFrontEnd(BitmapFont::load_configured(), scale) {}
    ~SdlFrontEnd() override;
    SdlFrontEnd(const SdlFrontEnd&) = delete;
    SdlFrontEnd& operator=(const SdlFrontEnd&) = delete;

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
    void end_paint(WindowId window) override;
    Surface* window_pixels(WindowId window) override;
    void pixels_changed(WindowId window, const Rect& area) override;
    void set_caret(WindowId window, bool visible, int x, int y, int width, int height) override;
    void bell() override;
    void message_box(std::string_view caption_sjis, std::string_view text_sjis) override;

    // Shows every window whose pixels changed (end_paint and collect_events do this too).
    void present_all();
    // The whole scale at which the window shows its screen; 0 for no such window.
    int scale(WindowId window) const noexcept;

private:
    class Session;
    struct WindowState;
    WindowState* find(WindowId window) noexcept;
    WindowId main_window_id() const noexcept { return windows_.empty() ? 0 : windows_.begin()->first; }
    void present(WindowState& state);
    int window_scale(const WindowState& state) const noexcept;
    void change_scale(WindowState& state, int step);
    // Returns true when the event became a message or was the wake-up.
    bool handle_event(Desktop& desktop, const ::SDL_Event& event);
    void update_blink_and_flash();
    std::chrono::steady_clock::time_point next_timed_redraw() const;

    BitmapFont font_;
    ShiftJisCodec codec_;
    std::unique_ptr<Session> session_;
    std::optional<int> requested_scale_;
    std::map<WindowId, std::unique_ptr<WindowState>> windows_;
    std::chrono::steady_clock::time_point flash_until_{};
    std::chrono::steady_clock::time_point next_blink_{};
    bool caret_on_ = true;
    bool flashing_ = false;
    // A scale key went down: the text input its key makes ("+", "=", "-") is
    // dropped, whatever the modifier state by the time that text is taken.
    bool scale_key_text_pending_ = false;
};

// +1 for Ctrl+Plus (or Ctrl+=), -1 for Ctrl+Minus, else 0: the keys that
// change the window's scale.
int scale_step_for_key(std::int32_t sdl_keycode, std::uint16_t sdl_modifiers) noexcept;

}  // namespace host
