#define NCURSES_WIDECHAR 1
#include "host/terminal_front_end.h"

#include <curses.h>
#include <fcntl.h>
#include <langinfo.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <atomic>
#include <climits>
#include <clocale>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "host/desktop.h"
#include "host/file_descriptor.h"
#include "host/key_chord.h"
#include "host/terminal_palette.h"

namespace host {
namespace {

// Set by SIGTERM/SIGHUP; collect_events turns it into Close and Quit.
std::atomic<int> terminal_signal{0};

extern "C" void note_terminal_signal(int signal_number)
{
    terminal_signal.store(signal_number);
}

constexpr std::chrono::milliseconds kLongestWaitSlice{100};

// Takes the character set of the user's locale, which is the terminal's: true
// when it is UTF-8. Under another set (LANG=C, a Latin-1 or EUC locale) the
// screen is written in that set, with the terminal's own line drawing.
bool use_the_terminal_character_set()
{
    std::setlocale(LC_CTYPE, "");
    return std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
}

// Whether the terminal can show the character in one or more cells: in its
// character set (a UTF-8 terminal has them all) and with a known width.
bool terminal_can_show(char32_t character, bool unicode_terminal) noexcept
{
    if (wcwidth(wchar_t(character)) < 1)
        return false;
    if (unicode_terminal)
        return true;
    char bytes[MB_LEN_MAX];
    std::mbstate_t state{};
    return std::wcrtomb(bytes, wchar_t(character), &state) != static_cast<std::size_t>(-1);
}

// The terminal's alternate (line-drawing) character for a box-drawing
// character of box_drawing_character(); nullptr for any other.
const cchar_t* alternate_line_character(char32_t box_character) noexcept
{
    switch (box_character) {
    case U'\u2500': return WACS_HLINE;
    case U'\u2502': return WACS_VLINE;
    case U'\u250C': return WACS_ULCORNER;
    case U'\u2510': return WACS_URCORNER;
    case U'\u2514': return WACS_LLCORNER;
    case U'\u2518': return WACS_LRCORNER;
    case U'\u251C': return WACS_LTEE;
    case U'\u2524': return WACS_RTEE;
    case U'\u252C': return WACS_TTEE;
    case U'\u2534': return WACS_BTEE;
    case U'\u253C': return WACS_PLUS;
    default: return nullptr;
    }
}

struct WindowDeleter {
    void operator()(WINDOW* window) const noexcept { delwin(window); }
};

}  // namespace

// The curses screen, the signal handlers and the wake-up pipe, all given back
// in the destructor.
class TerminalFrontEnd::Terminal {
public:
    Terminal()
    {
        if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO))
            throw std::runtime_error("standard input and output are not a terminal");
        unicode_ = use_the_terminal_character_set();
        const char* type = std::getenv("TERM");
        const std::string term = type && *type ? type : "(unset)";
        screen_ = newterm(nullptr, stdout, stdin);
        if (!screen_)
            throw std::runtime_error("the terminal type TERM=" + term +
                                     " is unknown to terminfo; set TERM to this terminal's type, or use --ui sdl");
        set_term(screen_);
        // The screen is drawn by moving the cursor: a terminal that cannot
        // (TERM=dumb, a printing terminal) is refused like an unknown one.
        const char* cursor_address = tigetstr("cup");
        if (!cursor_address || cursor_address == reinterpret_cast<const char*>(-1)) {
            endwin();
            delscreen(screen_);
            throw std::runtime_error("the terminal type TERM=" + term +
                                     " cannot move the cursor; set TERM to this terminal's type, or use --ui sdl");
        }
        raw();
        noecho();
        nonl();
        keypad(stdscr, TRUE);
        nodelay(stdscr, TRUE);
        set_escdelay(25);
        leaveok(stdscr, FALSE);
        if (has_colors()) {
            start_color();
            colours_ = terminal_colours_for(COLORS, true);
        }
        curs_set(0);
        if (int ends[2]; pipe2(ends, O_NONBLOCK | O_CLOEXEC) == 0) {
            wake_read_ = FileDescriptor(ends[0]);
            wake_write_ = FileDescriptor(ends[1]);
        }
        terminal_signal.store(0);
        struct sigaction action {};
        action.sa_handler = note_terminal_signal;
        sigemptyset(&action.sa_mask);
        sigaction(SIGTERM, &action, &old_term_);
        sigaction(SIGHUP, &action, &old_hup_);
    }

    ~Terminal()
    {
        sigaction(SIGTERM, &old_term_, nullptr);
        sigaction(SIGHUP, &old_hup_, nullptr);
        curs_set(1);
        endwin();
        delscreen(screen_);
    }
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    TerminalColours colours() const noexcept { return colours_; }
    // The terminal's character set is UTF-8.
    bool unicode() const noexcept { return unicode_; }

    void wake() noexcept
    {
        if (wake_write_.valid()) {
            const char byte = 1;
            [[maybe_unused]] const auto written = write(wake_write_.get(), &byte, 1);
        }
    }

    enum class WaitResult { Input, Woken, TimedOut, Lost };
    WaitResult wait(std::chrono::milliseconds timeout) noexcept
    {
        pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {wake_read_.get(), POLLIN, 0}};
        const int ready = poll(fds, wake_read_.valid() ? 2 : 1, int(timeout.count()));
        if (ready <= 0)
            return WaitResult::TimedOut;
        if (fds[1].revents & POLLIN) {
            char buffer[64];
            while (read(wake_read_.get(), buffer, sizeof buffer) > 0) {
            }
            return WaitResult::Woken;
        }
        // A hung-up terminal may also report input that can no longer be read.
        if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL))
            return WaitResult::Lost;
        if (fds[0].revents & POLLIN)
            return WaitResult::Input;
        return WaitResult::TimedOut;
    }

    // A colour pair number for a foreground and background colour.
    int pair(std::uint32_t foreground, std::uint32_t background)
    {
        if (colours_ == TerminalColours::None)
            return 0;
        const std::uint64_t key = std::uint64_t(foreground & 0xFFFFFF) << 24 | (background & 0xFFFFFF);
        const auto it = pairs_.find(key);
        if (it != pairs_.end())
            return it->second;
        const int number = alloc_pair(terminal_colour(foreground, colours_), terminal_colour(background, colours_));
        return pairs_[key] = std::max(number, 0);
    }

private:
    SCREEN* screen_ = nullptr;
    bool unicode_ = false;
    TerminalColours colours_ = TerminalColours::None;
    FileDescriptor wake_read_;  // the wake-up pipe
    FileDescriptor wake_write_;
    struct sigaction old_term_ {};
    struct sigaction old_hup_ {};
    std::map<std::uint64_t, int> pairs_;
};

struct TerminalFrontEnd::WindowState {
    WindowState(const WindowInfo& window_info)
        : info(window_info),
          grid(window_info.client_width / std::max(window_info.cell_width, 1),
               window_info.client_height / std::max(window_info.cell_height, 1), window_info.cell_width,
               window_info.cell_height)
    {
    }
    WindowInfo info;
    CellGrid grid;
    int view_x = 0, view_y = 0;
    bool caret_visible = false;
    int caret_column = 0, caret_row = 0;
    bool redraw_all = true;
};

namespace {

// What the terminal has room for: the screen's visible part and whether a
// notice line is needed.
struct Visible {
    int columns, rows;
    bool cut;
};

Visible visible_part(const CellGrid& grid)
{
    const bool cut = COLS < grid.columns() || LINES < grid.rows();
    return {std::min(COLS, grid.columns()), std::min(cut ? LINES - 1 : LINES, grid.rows()), cut};
}

std::optional<KeyChord> chord_for_key_code(wint_t code)
{
    auto key = [](std::uint32_t v, bool shift = false) { return KeyChord{v, shift, false, false}; };
    if (code >= wint_t(KEY_F(1)) && code <= wint_t(KEY_F(12)))
        return key(vk::kF1 + std::uint32_t(code - KEY_F(1)));
    if (code >= wint_t(KEY_F(13)) && code <= wint_t(KEY_F(24)))  // shifted function keys
        return key(vk::kF1 + std::uint32_t(code - KEY_F(13)), true);
    switch (code) {
    case KEY_UP: return key(vk::kUp);
    case KEY_SR: return key(vk::kUp, true);
    case KEY_DOWN: return key(vk::kDown);
    case KEY_SF: return key(vk::kDown, true);
    case KEY_LEFT: return key(vk::kLeft);
    case KEY_SLEFT: return key(vk::kLeft, true);
    case KEY_RIGHT: return key(vk::kRight);
    case KEY_SRIGHT: return key(vk::kRight, true);
    case KEY_HOME: case KEY_A1: return key(vk::kHome);
    case KEY_SHOME: return key(vk::kHome, true);
    case KEY_END: case KEY_C1: return key(vk::kEnd);
    case KEY_SEND: return key(vk::kEnd, true);
    case KEY_PPAGE: case KEY_A3: return key(vk::kPageUp);
    case KEY_SPREVIOUS: return key(vk::kPageUp, true);
    case KEY_NPAGE: case KEY_C3: return key(vk::kPageDown);
    case KEY_SNEXT: return key(vk::kPageDown, true);
    case KEY_IC: return key(vk::kInsert);
    case KEY_SIC: return key(vk::kInsert, true);
    case KEY_DC: return key(vk::kDelete);
    case KEY_SDC: return key(vk::kDelete, true);
    case KEY_BACKSPACE: return key(vk::kBack);
    case KEY_ENTER: return key(vk::kReturn);
    case KEY_BTAB: return key(vk::kTab, true);
    default: return std::nullopt;
    }
}

std::optional<KeyChord> chord_for_character(wint_t c)
{
    auto key = [](std::uint32_t v, bool shift = false, bool ctrl = false) { return KeyChord{v, shift, ctrl, false}; };
    switch (c) {
    case 13: case 10: return key(vk::kReturn);
    case 27: return key(vk::kEscape);
    case 9: return key(vk::kTab);
    case 8: case 127: return key(vk::kBack);
    case ' ': return key(vk::kSpace);
    default: break;
    }
    if (c >= 1 && c <= 26)
        return key('A' + std::uint32_t(c - 1), false, true);  // Ctrl+C is 3, a key like any other
    if (c >= 'a' && c <= 'z')
        return key(std::uint32_t(c - 'a' + 'A'));
    if (c >= 'A' && c <= 'Z')
        return key(std::uint32_t(c), true);
    if (c >= '0' && c <= '9')
        return key(std::uint32_t(c));
    return std::nullopt;
}

void post_key(Desktop& desktop, WindowId window, const KeyChord& chord)
{
    for (const Message& m : key_chord_messages(chord, window))
        desktop.post(m);
}

}  // namespace

TerminalFrontEnd::TerminalFrontEnd() : terminal_(std::make_unique<Terminal>()) {}
TerminalFrontEnd::~TerminalFrontEnd() = default;

TerminalFrontEnd::WindowState* TerminalFrontEnd::find(WindowId window) noexcept
{
    const auto it = windows_.find(window);
    return it == windows_.end() ? nullptr : it->second.get();
}

TerminalFrontEnd::WindowState* TerminalFrontEnd::main_state() noexcept
{
    return windows_.empty() ? nullptr : windows_.begin()->second.get();
}

void TerminalFrontEnd::window_created(WindowId window, const WindowInfo& info)
{
    windows_[window] = std::make_unique<WindowState>(info);
    size_reported_ = false;
}

void TerminalFrontEnd::window_destroyed(WindowId window)
{
    windows_.erase(window);
    erase();
    if (WindowState* state = main_state())
        state->redraw_all = true;
    refresh();
}

void TerminalFrontEnd::set_client_size(WindowId window, int width, int height)
{
    if (WindowState* state = find(window)) {
        state->info.client_width = width;
        state->info.client_height = height;
        state->grid.resize(width / std::max(state->info.cell_width, 1), height / std::max(state->info.cell_height, 1));
        state->redraw_all = true;
    }
}

void TerminalFrontEnd::set_view_origin(WindowId window, int column, int row)
{
    if (WindowState* state = find(window)) {
        state->view_x = column * state->info.cell_width;
        state->view_y = row * state->info.cell_height;
    }
}

void TerminalFrontEnd::paint_from_layer(WindowId window, const Surface& layer, const Rect& area)
{
    if (WindowState* state = find(window))
        state->grid.restore_from_layer(layer, area, state->view_x, state->view_y);
}

void TerminalFrontEnd::paint_text(WindowId window, const TextRun& run)
{
    if (WindowState* state = find(window))
        state->grid.put_text(run);
}

void TerminalFrontEnd::paint_fill(WindowId window, const Rect& area, std::uint32_t colour)
{
    if (WindowState* state = find(window))
        state->grid.clear(area, colour);
}

void TerminalFrontEnd::end_paint(WindowId)
{
    flush();
}

void TerminalFrontEnd::set_caret(WindowId window, bool visible, int x, int y, int, int)
{
    if (WindowState* state = find(window)) {
        state->caret_visible = visible;
        state->caret_column = x >= 0 ? x / std::max(state->info.cell_width, 1) : -1;
        state->caret_row = y >= 0 ? y / std::max(state->info.cell_height, 1) : -1;
    }
}

void TerminalFrontEnd::set_title(WindowId window, std::string_view title_sjis)
{
    if (windows_.empty() || windows_.begin()->first != window)
        return;
    std::string start;
    std::string end;
    const char* to_status = tigetstr("tsl");
    const char* from_status = tigetstr("fsl");
    const auto usable = [](const char* text) { return text && text != reinterpret_cast<const char*>(-1) && *text; };
    if (usable(to_status) && usable(from_status)) {
        start = tiparm(to_status, 0);
        end = from_status;
    } else if (tigetflag("XT") > 0) {
        start = "\033]2;";
        end = "\007";
    } else {
        return;
    }
    std::string text;
    for (const wchar_t character : shown_text(title_sjis)) {
        if (character < 0x20 || character == 0x7F)
            continue;
        char bytes[MB_LEN_MAX];
        std::mbstate_t state{};
        const std::size_t length = std::wcrtomb(bytes, character, &state);
        if (length != static_cast<std::size_t>(-1))
            text.append(bytes, length);
    }
    std::fputs((start + text + end).c_str(), stdout);
    std::fflush(stdout);
}

std::wstring TerminalFrontEnd::shown_text(std::string_view sjis)
{
    std::wstring shown;
    for (const char32_t character : codec_.to_utf32(sjis))
        shown.push_back(character == U'\r' || character == U'\n' || terminal_can_show(character, terminal_->unicode())
                            ? wchar_t(character)
                            : L'?');
    return shown;
}

void TerminalFrontEnd::bell()
{
    beep();
}

void TerminalFrontEnd::draw_row(WindowState& state, int row)
{
    const CellGrid& grid = state.grid;
    const Visible visible = visible_part(grid);
    const bool unicode = terminal_->unicode();
    auto put_cell = [&](int column, const wchar_t* text, attr_t attributes, std::uint32_t foreground,
                        std::uint32_t background, bool reversed) {
        int pair = 0;
        if (reversed) {
            // Swapped pair shown reversed: the same colours, and still reversed on a monochrome terminal.
            attributes |= A_REVERSE;
            pair = terminal_->pair(background, foreground);
        } else {
            pair = terminal_->pair(foreground, background);
        }
        cchar_t cell;
        setcchar(&cell, text, attributes, 0, &pair);
        mvadd_wch(row, column, &cell);
    };
    auto put = [&](int column, char32_t character, std::uint32_t foreground, std::uint32_t background, bool reversed) {
        const wchar_t text[2] = {wchar_t(character), L'\0'};
        put_cell(column, text, A_NORMAL, foreground, background, reversed);
    };
    // A line through a blank cell: the box-drawing character, or on a
    // terminal without Unicode its alternate character set's line.
    auto put_line = [&](int column, const Cell& cell) {
        const char32_t character = box_drawing_character(cell.line);
        const cchar_t* alternate = unicode ? nullptr : alternate_line_character(character);
        if (!alternate) {
            put(column, character, cell.line_colour, cell.background, false);
            return;
        }
        wchar_t text[CCHARW_MAX + 1] = {};
        attr_t attributes = A_NORMAL;
        short unused_pair = 0;
        getcchar(alternate, text, &attributes, &unused_pair, nullptr);
        put_cell(column, text, attributes, cell.line_colour, cell.background, false);
    };
    const char32_t unshown = unicode ? kReplacementCharacter : U'?';
    for (int column = 0; column < visible.columns;) {
        const Cell& cell = grid.at(column, row);
        if (cell.part == CellPart::Lead && column + 1 < grid.columns()) {
            if (column + 1 >= visible.columns) {  // the terminal edge would cut it
                put(column, U' ', cell.foreground, cell.background, cell.reversed);
                break;
            }
            char32_t character = codec_.decode_pair(cell.byte, grid.at(column + 1, row).byte);
            if (!terminal_can_show(character, unicode))
                character = unshown;
            const int width = wcwidth(wchar_t(character));
            put(column, character, cell.foreground, cell.background, cell.reversed);
            if (width < 2)
                put(column + 1, U' ', cell.foreground, cell.background, cell.reversed);
            column += 2;
            continue;
        }
        if (cell.byte == ' ' && !cell.reversed && cell.line != 0) {
            put_line(column, cell);
        } else {
            char32_t character = U' ';
            if (cell.part == CellPart::Single && cell.byte >= 0x20 && cell.byte != 0x7F) {
                const char byte = static_cast<char>(cell.byte);
                character = codec_.decode(std::string_view(&byte, 1)).code_point;
            }
            if (wcwidth(wchar_t(character)) != 1 || !terminal_can_show(character, unicode))
                character = U'?';
            put(column, character, cell.foreground, cell.background, cell.reversed);
        }
        ++column;
    }
    if (visible.columns < COLS) {
        move(row, visible.columns);
        clrtoeol();
    }
}

void TerminalFrontEnd::draw_notice(const WindowState& state)
{
    const std::string notice = "Terminal " + std::to_string(COLS) + "x" + std::to_string(LINES) + " is smaller than " +
                               std::to_string(state.grid.columns()) + "x" + std::to_string(state.grid.rows()) +
                               ": showing the top-left part";
    attr_set(A_REVERSE, 0, nullptr);
    mvaddnstr(LINES - 1, 0, notice.c_str(), COLS);
    attr_set(A_NORMAL, 0, nullptr);
    clrtoeol();
}

void TerminalFrontEnd::flush()
{
    WindowState* state = main_state();
    if (!state)
        return;
    const Visible visible = visible_part(state->grid);
    std::vector<bool> dirty = state->grid.take_dirty_rows();
    if (state->redraw_all) {
        erase();
        std::fill(dirty.begin(), dirty.end(), true);
    }
    for (int row = 0; row < visible.rows; ++row) {
        if (dirty[std::size_t(row)])
            draw_row(*state, row);
    }
    if (visible.cut)
        draw_notice(*state);
    state->redraw_all = false;
    const bool caret_shown = state->caret_visible && state->caret_column >= 0 && state->caret_row >= 0 &&
                             state->caret_column < visible.columns && state->caret_row < visible.rows;
    if (caret_shown)
        move(state->caret_row, state->caret_column);
    curs_set(caret_shown ? 1 : 0);
    refresh();
}

void TerminalFrontEnd::report_size(Desktop& desktop)
{
    WindowState* state = main_state();
    if (!state)
        return;
    size_reported_ = true;
    const int cell_width = state->info.cell_width, cell_height = state->info.cell_height;
    const int full_columns = state->info.columns, full_rows = state->info.rows;
    const bool cut = COLS < full_columns || LINES < full_rows;
    const int columns = std::min(COLS, full_columns);
    const int rows = std::min(cut ? LINES - 1 : LINES, full_rows);
    const int width = columns * cell_width, height = std::max(rows, 0) * cell_height;
    if (width == state->info.client_width && height == state->info.client_height)
        return;
    desktop.post(Message{.window = windows_.begin()->first, .kind = MessageKind::Size, .client_size = {width, height}});
}

void TerminalFrontEnd::translate_input(Desktop& desktop)
{
    const WindowId window = windows_.empty() ? 0 : windows_.begin()->first;
    wint_t code = 0;
    int kind = 0;
    while ((kind = get_wch(&code)) != ERR) {
        if (kind == KEY_CODE_YES && code == KEY_RESIZE) {
            // What the terminal kept or moved on resizing is unknown: clear it and draw every cell.
            clearok(curscr, TRUE);
            if (WindowState* state = main_state())
                state->redraw_all = true;
            report_size(desktop);
            continue;
        }
        if (window == 0)
            continue;
        if (kind == OK && code == 27) {
            // A terminal sends Alt+key as Esc and the key at once; curses has
            // waited its escape delay, so a key that came with the Esc is
            // already waiting, and a lone Esc has nothing after it.
            wint_t next = 0;
            const int next_kind = get_wch(&next);
            if (next_kind == OK) {
                if (const auto function_key = function_key_for_alt(char32_t(next))) {
                    post_key(desktop, window, KeyChord{*function_key, false, false, false});
                    continue;
                }
            }
            post_key(desktop, window, KeyChord{vk::kEscape, false, false, false});
            if (next_kind == ERR)
                continue;
            kind = next_kind;
            code = next;
        }
        const std::optional<KeyChord> chord = kind == KEY_CODE_YES ? chord_for_key_code(code) : chord_for_character(code);
        if (chord) {
            post_key(desktop, window, *chord);
        } else if (kind != KEY_CODE_YES) {
            for (char byte : codec_.encode(char32_t(code)))
                desktop.post(Message{.window = window, .kind = MessageKind::Char, .character = static_cast<std::uint8_t>(byte)});
        }
    }
}


void TerminalFrontEnd::collect_events(Desktop& desktop, std::chrono::milliseconds timeout)
{
    flush();
    if (closing_) {
        // The program was told to end; there is nothing more to read.
        std::this_thread::sleep_for(std::min(timeout, kLongestWaitSlice));
        return;
    }
    if (!size_reported_)
        report_size(desktop);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    auto close_program = [&] {
        closing_ = true;
        if (!windows_.empty())
            desktop.post(Message{windows_.begin()->first, MessageKind::Close});
        desktop.post_quit(0);
    };
    while (true) {
        if (terminal_signal.load() != 0)
            return close_program();
        translate_input(desktop);
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return;
        // Waits in slices so that a signal that another thread received is seen soon.
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now) + std::chrono::milliseconds(1);
        switch (terminal_->wait(std::min(left, kLongestWaitSlice))) {
        case Terminal::WaitResult::Woken: return;
        case Terminal::WaitResult::Lost: return close_program();
        case Terminal::WaitResult::Input: translate_input(desktop); return;
        case Terminal::WaitResult::TimedOut: break;
        }
    }
}

void TerminalFrontEnd::wake() noexcept
{
    terminal_->wake();
}

void TerminalFrontEnd::message_box(std::string_view caption_sjis, std::string_view text_sjis)
{
    flush();
    std::vector<std::wstring> lines{shown_text(caption_sjis), L""};
    const std::wstring text = shown_text(text_sjis);
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find_first_of(L"\r\n", start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + (text.compare(end, 2, L"\r\n") == 0 ? 2 : 1);
    }
    lines.insert(lines.end(), {L"", L"[ OK ]"});
    int width = 0;
    for (const std::wstring& line : lines) {
        int columns = 0;
        for (const wchar_t character : line)
            columns += std::max(wcwidth(character), 1);
        width = std::max(width, columns);
    }
    const int box_width = std::min(width + 4, COLS);
    const int box_height = std::min(int(lines.size()) + 2, LINES);
    const std::unique_ptr<WINDOW, WindowDeleter> box(
        newwin(box_height, box_width, std::max((LINES - box_height) / 2, 0), std::max((COLS - box_width) / 2, 0)));
    if (box) {
        werase(box.get());
        ::box(box.get(), 0, 0);
        for (int i = 0; i < int(lines.size()) && i + 1 < box_height - 1; ++i)
            mvwaddnwstr(box.get(), i + 1, 2, lines[std::size_t(i)].c_str(), -1);
        keypad(box.get(), TRUE);
        nodelay(box.get(), TRUE);
        curs_set(0);
        wrefresh(box.get());
        while (terminal_signal.load() == 0) {
            wint_t code = 0;
            const int kind = wget_wch(box.get(), &code);
            if (kind == OK && (code == 13 || code == 10 || code == 27 || code == ' '))
                break;
            if (kind == KEY_CODE_YES && code == KEY_ENTER)
                break;
            if (kind == ERR && terminal_->wait(kLongestWaitSlice) == Terminal::WaitResult::Lost)
                break;
        }
    }
    if (WindowState* state = main_state())
        state->redraw_all = true;
    touchwin(stdscr);
    flush();
}

}  // namespace host
