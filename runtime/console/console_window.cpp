#include "runtime/console/console_window.h"

#include <algorithm>

#include "runtime/console/palette.h"
#include "runtime/core/runtime.h"

namespace rt::console {

namespace {

constexpr int kDefaultColumns = 80;
constexpr int kDefaultRows = 24;
constexpr int kCellWidth = 8;  // extent of "." in the screen font
constexpr int kCellHeight = 18;

// Scroll bar of one direction: `cells` on the screen, `visible` of them shown.
struct ScrollGeometry {
    int hidden;
    int last_view() const noexcept { return std::max(0, hidden - 1); }
};

}  // namespace

ConsoleWindow::ConsoleWindow(host::Desktop& desktop, std::string title_sjis, KeyReactions reactions, bool main_window)
    : desktop_(desktop), reactions_(std::move(reactions)), main_window_(main_window), keys_(std::make_unique<KeyQueue>(reactions_.raise_event))
{
    host::WindowInfo info;
    info.title_sjis = std::move(title_sjis);
    info.cell_width = kCellWidth;
    info.cell_height = kCellHeight;
    info.columns = kDefaultColumns;
    info.rows = kDefaultRows;
    info.client_width = kDefaultColumns * kCellWidth;
    info.client_height = kDefaultRows * kCellHeight;
    client_width_ = info.client_width;
    client_height_ = info.client_height;
    id_ = desktop_.create_window(info, [this](const host::Message& m) { return handle(m); });
    alive_ = true;
    screen_ = std::make_unique<ConsoleScreen>(&desktop_.front_end(), id_, kDefaultColumns, kDefaultRows, kCellWidth, kCellHeight);
    update_scroll_ranges();
    screen_->paint_all();
}

ConsoleWindow::~ConsoleWindow()
{
    if (alive_) {
        quiet_destroy_ = true;
        desktop_.destroy_window(id_);
    }
}

std::int64_t ConsoleWindow::handle(const host::Message& message)
{
    using host::MessageKind;
    if (!alive_)
        return 0;
    switch (message.kind) {
    case MessageKind::Paint:
        repaint();
        return 0;
    case MessageKind::EraseBackground:
        erase_background();
        return 1;
    case MessageKind::Size:
        on_size(message);
        return 0;
    case MessageKind::SetFocus:
        on_set_focus();
        return 0;
    case MessageKind::KillFocus:
        on_kill_focus();
        return 0;
    case MessageKind::Activate:
        if (message.active && screen_->state().focus == 0)
            on_set_focus();
        return 0;
    case MessageKind::KeyDown:
    case MessageKind::KeyUp:
    case MessageKind::SysKeyDown:
    case MessageKind::Char:
        translate_key_message(message, *keys_, reactions_);
        return 0;
    case MessageKind::HScroll:
        on_scroll(message, true);
        return 0;
    case MessageKind::VScroll:
        on_scroll(message, false);
        return 0;
    case MessageKind::GetSizeLimits:
        if (message.size_limits) {
            const host::Rect& whole = screen_->state().window_rect;
            message.size_limits->largest_width = whole.width();
            message.size_limits->largest_height = whole.height();
        }
        return 0;
    case MessageKind::DoubleClick:
        waiting_ = false;
        return 0;
    case MessageKind::Close:
        desktop_.destroy_window(id_);
        return 0;
    case MessageKind::Destroy:
        on_destroy();
        return 0;
    default:
        return 0;
    }
}

void ConsoleWindow::erase_background()
{
    const TextScreenState& s = screen_->state();
    // The brush follows COLOR's background only from the next CLS 0 or 5.
    desktop_.front_end().paint_fill(id_, host::Rect{0, 0, client_width_, client_height_},
                                    background_palette()[static_cast<std::size_t>(s.brush_colour & 15)]);
}

void ConsoleWindow::on_size(const host::Message& message)
{
    TextScreenState& s = screen_->state();
    s.size_state = message.size_state;
    if (s.size_state == host::size_state::kMinimised)
        return;
    client_width_ = message.client_size.width;
    client_height_ = message.client_size.height;
    const int hidden_columns = s.columns - client_width_ / s.cell_width;
    const int hidden_rows = s.rows - client_height_ / s.cell_height;
    if (s.view_column >= hidden_columns)
        s.view_column = ScrollGeometry{hidden_columns}.last_view();
    if (s.view_row >= hidden_rows)
        s.view_row = ScrollGeometry{hidden_rows}.last_view();
    desktop_.front_end().set_view_origin(id_, s.view_column, s.view_row);
    update_scroll_ranges();
    repaint();
}

void ConsoleWindow::update_scroll_ranges()
{
    const TextScreenState& s = screen_->state();
    const int hidden_columns = s.columns - client_width_ / s.cell_width;
    const int hidden_rows = s.rows - client_height_ / s.cell_height;
    horizontal_ = ScrollRange{0, ScrollGeometry{hidden_columns}.last_view(), s.view_column};
    vertical_ = ScrollRange{0, ScrollGeometry{hidden_rows}.last_view(), s.view_row};
}

void ConsoleWindow::on_scroll(const host::Message& message, bool horizontal)
{
    TextScreenState& s = screen_->state();
    const int cells = horizontal ? s.columns : s.rows;
    const int visible = horizontal ? client_width_ / s.cell_width : client_height_ / s.cell_height;
    int& view = horizontal ? s.view_column : s.view_row;
    int target = view;
    switch (message.scroll_request) {
    case host::scroll::kLineUp: target -= 1; break;
    case host::scroll::kLineDown: target += 1; break;
    case host::scroll::kPageUp: target -= visible; break;
    case host::scroll::kPageDown: target += visible; break;
    case host::scroll::kThumbPosition: target = message.thumb_position; break;
    default: return;
    }
    target = std::clamp(target, 0, std::max(0, cells - visible - 1));
    const bool moved = target != view;
    view = target;
    update_scroll_ranges();
    if (moved || message.scroll_request == host::scroll::kThumbPosition) {
        desktop_.front_end().set_view_origin(id_, s.view_column, s.view_row);
        repaint();
    }
}

void ConsoleWindow::on_set_focus()
{
    TextScreenState& s = screen_->state();
    s.focus = 1;
    screen_->show_caret();
}

void ConsoleWindow::on_kill_focus()
{
    screen_->hide_caret();
    screen_->state().focus = 0;
}

void ConsoleWindow::on_destroy()
{
    screen_->hide_caret();
    alive_ = false;
    screen_->detach();
    Runtime* runtime = Runtime::current_or_null();
    if (runtime && runtime->main_window() == id_)
        runtime->set_main_window(0);
    if (main_window_ && !quiet_destroy_)
        desktop_.post_quit(0);
}

}  // namespace rt::console
