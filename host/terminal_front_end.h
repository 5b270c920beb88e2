// The front end in a character terminal (ncursesw): paint calls become cells
// (x / cell width, y / cell height), keys from terminfo become messages.
//
// - Colours: direct colour or the 256-colour palette when the terminal has
//   them, 8 colours otherwise; reversed cells are drawn reversed.
// - A double-byte character always takes two cells; one that the terminal
//   draws one cell wide is followed by a space.
// - Text goes out in the character set of the user's locale (the terminal's):
//   on a terminal without UTF-8, lines are the terminal's alternate (line
//   drawing) characters and what its set cannot show is "?".
// - A blank cell over lines of the graphics layer shows a line-drawing character.
// - A resized terminal is cleared and every cell drawn again.
// - Ctrl+C is a key (raw mode), Esc waits 25 ms for a following sequence.
// - A window title goes to the terminal's title when the terminal has one.
// - SIGTERM and SIGHUP (and a terminal that goes away) become a Close message
//   and then Quit; the terminal is restored however the program ends.
// - A terminal smaller than the screen shows the visible part and says so on
//   its last line.
#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <string>

#include "host/cell_grid.h"
#include "host/code_page.h"
#include "host/front_end.h"

namespace host {

class TerminalFrontEnd final : public FrontEnd {
public:
    // Takes over the terminal on standard input/output; throws std::runtime_error
    // when they are not a usable terminal.
    TerminalFrontEnd();
    ~TerminalFrontEnd() override;
    TerminalFrontEnd(const TerminalFrontEnd&) = delete;
    TerminalFrontEnd& operator=(const TerminalFrontEnd&) = delete;

    void collect_events(Desktop& desktop, std::chrono::milliseconds timeout) override;
    void wake() noexcept override;
    void window_created(WindowId window, const WindowInfo& info) override;
    void window_destroyed(WindowId window) override;
    void set_client_size(WindowId window, int width, int height) override;
    void set_view_origin(WindowId window, int column, int row) override;
    void paint_from_layer(WindowId window, const Surface& layer, const Rect& area) override;
    void paint_text(WindowId window, const TextRun& run) override;
    void paint_fill(WindowId window, const Rect& area, std::uint32_t colour) override;
    void end_paint(WindowId window) override;
    void set_caret(WindowId window, bool visible, int x, int y, int width, int height) override;
    // The main window's title becomes the terminal's title where terminfo
    // tells how to set it (tsl/fsl, or the XT flag of xterm-like terminals).
    void set_title(WindowId window, std::string_view title_sjis) override;
    void bell() override;
    void message_box(std::string_view caption_sjis, std::string_view text_sjis) override;

private:
    class Terminal;
    struct WindowState;
    WindowState* main_state() noexcept;
    WindowState* find(WindowId window) noexcept;
    void flush();
    void draw_row(WindowState& state, int row);
    void draw_notice(const WindowState& state);
    void report_size(Desktop& desktop);
    void translate_input(Desktop& desktop);
    // The text as the terminal can show it: "?" for what its character set lacks.
    std::wstring shown_text(std::string_view sjis);

    std::unique_ptr<Terminal> terminal_;
    ShiftJisCodec codec_;
    std::map<WindowId, std::unique_ptr<WindowState>> windows_;
    bool size_reported_ = false;
    bool closing_ = false;
};

}  // namespace host
