// What a front end (SDL2 window, terminal, headless) gives the desktop:
// native events turned into messages, and the paint calls of console windows.
//
// Pixel front ends (SDL2, headless) render paint calls into a client surface
// with the bitmap font; the terminal front end maps them to character cells.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "host/message.h"
#include "host/surface.h"

namespace host {

class Desktop;

struct WindowInfo {
    std::string title_sjis;  // window title, Shift-JIS bytes
    int client_width = 0;    // pixels
    int client_height = 0;
    int cell_width = 8;
    int cell_height = 18;
    int columns = 80;
    int rows = 24;
};

// One run of text on one row, in one colour pair.
struct TextRun {
    int x = 0, y = 0;          // pixel position of the run's first cell in the client area
    int column = 0, row = 0;   // cell position of the first cell
    std::string_view text;     // Shift-JIS bytes; a double-byte character is never cut
    std::uint32_t foreground = 0;
    std::uint32_t background = 0;
    // Reversed cells paint `background` behind the text; normal cells draw the
    // text over what is there (the graphics layer) and ignore `background`.
    bool paint_background = false;
};

class FrontEnd {
public:
    virtual ~FrontEnd() = default;

    // Turns waiting native events into messages posted to `desktop`. When none
    // is waiting, waits up to `timeout` for one (0: do not wait). Returns early
    // when wake() is called.
    virtual void collect_events(Desktop& desktop, std::chrono::milliseconds timeout) = 0;
    // Thread-safe: interrupts a collect_events() that is waiting.
    virtual void wake() noexcept {}

    virtual void window_created(WindowId, const WindowInfo&) {}
    virtual void window_destroyed(WindowId) {}
    virtual void set_title(WindowId, std::string_view /*title_sjis*/) {}
    // The client area's size in pixels changed (the window is resizable).
    virtual void set_client_size(WindowId, int /*width*/, int /*height*/) {}
    // Scroll position of the visible part when the window is smaller than the screen.
    virtual void set_view_origin(WindowId, int /*column*/, int /*row*/) {}

    // Paint calls of a console window, bracketed by begin_paint/end_paint.
    virtual void begin_paint(WindowId) {}
    // Restores `area` of the window from the graphics layer (pixels the drawing operations made).
    // `area` is in client coordinates; the layer pixel shown at client (x, y) is the
    // one at (x + view column * cell width, y + view row * cell height).
    virtual void paint_from_layer(WindowId, const Surface& layer, const Rect& area) = 0;
    // Draws a run of text over what paint_from_layer restored.
    virtual void paint_text(WindowId, const TextRun& run) = 0;
    // Fills an area of the window with one colour (erase background).
    virtual void paint_fill(WindowId, const Rect& area, std::uint32_t colour) = 0;
    virtual void end_paint(WindowId) {}

    // The window's own client pixels, for drawing operations that draw on the
    // window itself; nullptr when the front end has no pixels (terminal).
    virtual Surface* window_pixels(WindowId) { return nullptr; }
    // Shows pixels changed through window_pixels().
    virtual void pixels_changed(WindowId, const Rect& /*area*/) {}

    // Caret: 2 pixels wide, one cell high, at a pixel position.
    virtual void set_caret(WindowId, bool /*visible*/, int /*x*/, int /*y*/, int /*width*/, int /*height*/) {}

    virtual void bell() = 0;
    // False when nobody sees the screen (a scripted session): reports that
    // wait for a key are then not shown there.
    virtual bool shows_screen() const noexcept { return true; }
    // A modal message box; text and caption in Shift-JIS. Returns when dismissed.
    virtual void message_box(std::string_view caption_sjis, std::string_view text_sjis) = 0;
};

}  // namespace host
