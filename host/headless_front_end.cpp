#include "host/headless_front_end.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "host/desktop.h"
#include "host/png_file.h"

namespace host {

namespace {
// How often a script's "await" looks for its file, and how often the "live"
// file is brought up to date at most.
constexpr std::chrono::milliseconds kAwaitCheck{20};
constexpr std::chrono::milliseconds kLiveScreenInterval{50};
}  // namespace

struct HeadlessFrontEnd::WindowState {
    WindowState(const BitmapFont& font, const WindowInfo& window_info)
        : info(window_info),
          painter(font, window_info.client_width, window_info.client_height),
          grid(cells(window_info.client_width, window_info.cell_width),
               cells(window_info.client_height, window_info.cell_height), window_info.cell_width,
               window_info.cell_height)
    {
    }
    static int cells(int pixels, int cell) { return cell > 0 ? (pixels + cell - 1) / cell : 0; }

    WindowInfo info;
    PixelPainter painter;
    CellGrid grid;
};

HeadlessFrontEnd::HeadlessFrontEnd(BitmapFont font) : font_(std::move(font)) {}
HeadlessFrontEnd::~HeadlessFrontEnd() = default;

void HeadlessFrontEnd::inject(const Message& message)
{
    {
        const std::lock_guard lock(mutex_);
        injected_.push_back(message);
        woken_ = true;
    }
    wake_signal_.notify_all();
}

void HeadlessFrontEnd::add_script(std::string_view script)
{
    std::vector<ScriptStep> steps = parse_input_script(script, codec_);
    script_.insert(script_.end(), std::make_move_iterator(steps.begin()), std::make_move_iterator(steps.end()));
}

void HeadlessFrontEnd::add_script_file(const std::string& path)
{
    std::string text;
    if (path == "-") {
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    } else {
        std::ifstream file(path, std::ios::binary);
        if (!file)
            throw std::runtime_error("cannot open script " + path);
        std::ostringstream contents;
        contents << file.rdbuf();
        text = std::move(contents).str();
    }
    add_script(text);
}

WindowId HeadlessFrontEnd::main_window() const noexcept
{
    return windows_.empty() ? 0 : windows_.begin()->first;
}

HeadlessFrontEnd::WindowState* HeadlessFrontEnd::find(WindowId window) noexcept
{
    const auto it = windows_.find(window == 0 ? main_window() : window);
    return it == windows_.end() ? nullptr : it->second.get();
}

const HeadlessFrontEnd::WindowState* HeadlessFrontEnd::find(WindowId window) const noexcept
{
    const auto it = windows_.find(window == 0 ? main_window() : window);
    return it == windows_.end() ? nullptr : it->second.get();
}

Message HeadlessFrontEnd::addressed(Message message) const noexcept
{
    if (message.window == 0)
        message.window = main_window();
    return message;
}

std::vector<Message> HeadlessFrontEnd::take_ready_messages()
{
    std::vector<Message> ready;
    {
        const std::lock_guard lock(mutex_);
        for (const Message& m : injected_)
            ready.push_back(addressed(m));
        injected_.clear();
        woken_ = false;
    }
    // Script input goes to a window, so it waits until there is one.
    if (main_window() == 0)
        return ready;
    const auto now = Clock::now();
    write_live_screen(now);
    bool posted_script_input = false;
    while (!script_.empty() && now >= next_step_at_) {
        ScriptStep& step = script_.front();
        switch (step.kind) {
        case ScriptStep::Kind::Await:
            if (!std::filesystem::exists(step.path)) {
                next_step_at_ = now + kAwaitCheck;
                return ready;
            }
            break;
        case ScriptStep::Kind::LiveScreen:
            live_path_ = step.path;
            live_rows_.clear();
            next_live_at_ = now;
            break;
        case ScriptStep::Kind::Messages:
            for (const Message& m : step.messages)
                ready.push_back(addressed(m));
            posted_script_input = true;
            break;
        case ScriptStep::Kind::Wait:
            next_step_at_ = now + step.wait;
            break;
        case ScriptStep::Kind::Until: {
            // The screen shows the effect of the input before it: let the program take that first.
            if (posted_script_input)
                return ready;
            if (!until_deadline_)
                until_deadline_ = now + step.wait;
            const std::vector<std::string> rows = screen_rows_utf8();
            bool shown = false;
            if (step.row < static_cast<int>(rows.size())) {
                std::string_view row = rows[static_cast<std::size_t>(step.row)];
                if (step.at_row_end) {
                    row = row.substr(0, row.find_last_not_of(' ') + 1);
                    shown = row.ends_with(step.path);
                } else {
                    shown = row.find(step.path) != std::string_view::npos;
                }
            }
            if (!shown && now < *until_deadline_) {
                next_step_at_ = now + kUntilCheckInterval;
                return ready;
            }
            if (!shown)
                std::cerr << "script line " << step.line << ": row " << step.row << " did not show \"" << step.path
                          << "\"; going on\n";
            until_deadline_.reset();
            break;
        }
        case ScriptStep::Kind::Close:
            ready.push_back(Message{main_window(), MessageKind::Close});
            posted_script_input = true;
            break;
        case ScriptStep::Kind::WritePng:
        case ScriptStep::Kind::WriteScreen: {
            // Output shows the effect of the input before it: let the program take that first.
            if (posted_script_input)
                return ready;
            std::string error;
            const bool written = step.kind == ScriptStep::Kind::WritePng ? write_png(step.path, &error)
                                                                         : write_screen(step.path);
            if (!written)
                std::cerr << "script line " << step.line << ": cannot write " << step.path << '\n';
            break;
        }
        }
        script_.pop_front();
    }
    return ready;
}

// The live file is replaced whole (written aside, then renamed), so a reader
// never sees half a screen.
void HeadlessFrontEnd::write_live_screen(Clock::time_point now)
{
    if (live_path_.empty() || now < next_live_at_)
        return;
    next_live_at_ = now + kLiveScreenInterval;
    std::vector<std::string> rows = screen_rows_utf8();
    if (rows == live_rows_)
        return;
    const std::string aside = live_path_ + ".new";
    if (write_screen(aside) && std::rename(aside.c_str(), live_path_.c_str()) == 0)
        live_rows_ = std::move(rows);
}

void HeadlessFrontEnd::collect_events(Desktop& desktop, std::chrono::milliseconds timeout)
{
    std::vector<Message> ready = take_ready_messages();
    if (ready.empty() && timeout.count() > 0) {
        auto until = Clock::now() + timeout;
        if (!script_.empty() && main_window() != 0 && next_step_at_ < until)
            until = next_step_at_;
        std::unique_lock lock(mutex_);
        wake_signal_.wait_until(lock, until, [this] { return woken_; });
        lock.unlock();
        ready = take_ready_messages();
    }
    for (const Message& m : ready)
        desktop.post(m);
}

void HeadlessFrontEnd::wake() noexcept
{
    {
        const std::lock_guard lock(mutex_);
        woken_ = true;
    }
    wake_signal_.notify_all();
}

void HeadlessFrontEnd::window_created(WindowId window, const WindowInfo& info)
{
    windows_[window] = std::make_unique<WindowState>(font_, info);
}

void HeadlessFrontEnd::window_destroyed(WindowId window)
{
    windows_.erase(window);
}

void HeadlessFrontEnd::set_title(WindowId window, std::string_view title_sjis)
{
    if (WindowState* w = find(window))
        w->info.title_sjis = std::string(title_sjis);
}

void HeadlessFrontEnd::set_client_size(WindowId window, int width, int height)
{
    WindowState* w = find(window);
    if (!w)
        return;
    w->info.client_width = width;
    w->info.client_height = height;
    w->painter.resize(width, height);
    w->grid.resize(WindowState::cells(width, w->info.cell_width), WindowState::cells(height, w->info.cell_height));
}

void HeadlessFrontEnd::set_view_origin(WindowId window, int column, int row)
{
    if (WindowState* w = find(window))
        w->painter.set_view_origin(column * w->info.cell_width, row * w->info.cell_height);
}

void HeadlessFrontEnd::paint_from_layer(WindowId window, const Surface& layer, const Rect& area)
{
    if (WindowState* w = find(window)) {
        w->painter.restore_from_layer(layer, area);
        w->grid.clear(area, 0);
    }
}

void HeadlessFrontEnd::paint_text(WindowId window, const TextRun& run)
{
    if (WindowState* w = find(window)) {
        w->painter.draw_text(run);
        w->grid.put_text(run);
    }
}

void HeadlessFrontEnd::paint_fill(WindowId window, const Rect& area, std::uint32_t colour)
{
    if (WindowState* w = find(window)) {
        w->painter.fill(area, colour);
        w->grid.clear(area, colour);
    }
}

Surface* HeadlessFrontEnd::window_pixels(WindowId window)
{
    WindowState* w = find(window);
    return w ? &w->painter.surface() : nullptr;
}

void HeadlessFrontEnd::set_caret(WindowId window, bool visible, int x, int y, int width, int height)
{
    if (WindowState* w = find(window))
        w->painter.set_caret(CaretState{visible, x, y, width, height});
}

void HeadlessFrontEnd::bell()
{
    ++bells_;
}

void HeadlessFrontEnd::message_box(std::string_view caption_sjis, std::string_view text_sjis)
{
    std::cerr << codec_.to_utf8(caption_sjis) << ": " << codec_.to_utf8(text_sjis) << std::endl;
}

const Surface* HeadlessFrontEnd::client_surface(WindowId window) const noexcept
{
    const WindowState* w = find(window);
    return w ? &w->painter.surface() : nullptr;
}

std::vector<std::string> HeadlessFrontEnd::screen_rows(WindowId window) const
{
    const WindowState* w = find(window);
    return w ? w->grid.rows_text() : std::vector<std::string>{};
}

std::vector<std::string> HeadlessFrontEnd::screen_rows_utf8(WindowId window) const
{
    std::vector<std::string> rows = screen_rows(window);
    for (std::string& row : rows)
        row = codec_.to_utf8(row);
    return rows;
}

CaretState HeadlessFrontEnd::caret(WindowId window) const noexcept
{
    const WindowState* w = find(window);
    return w ? w->painter.caret() : CaretState{};
}

std::string HeadlessFrontEnd::title_utf8(WindowId window) const
{
    const WindowState* w = find(window);
    return w ? codec_.to_utf8(w->info.title_sjis) : std::string{};
}

bool HeadlessFrontEnd::write_png(const std::string& path, std::string* error) const
{
    const Surface* surface = client_surface();
    if (!surface) {
        if (error)
            *error = "no window";
        return false;
    }
    return write_png_file(*surface, path, error);
}

bool HeadlessFrontEnd::write_screen(const std::string& path) const
{
    std::string text;
    for (const std::string& row : screen_rows_utf8())
        text += row + '\n';
    if (path == "-") {
        std::cout << text << std::flush;
        return bool(std::cout);
    }
    std::ofstream file(path, std::ios::binary);
    file << text;
    return bool(file.flush());
}

}  // namespace host
