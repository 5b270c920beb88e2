#include "runtime/console/console_screen.h"

#include <algorithm>
#include <string_view>

#include "runtime/console/palette.h"

namespace rt::console {

namespace {

// Front ends that know reversed cells take a flag on the run; others get the
// background filled first.
template <class Run>
void mark_background(Run& run, bool paint_background)
{
    if constexpr (requires { run.paint_background; })
        run.paint_background = paint_background;
}

}  // namespace

ConsoleScreen::ConsoleScreen(host::FrontEnd* front_end, host::WindowId window, int columns, int rows, int cell_width,
                             int cell_height)
    : front_end_(front_end), window_(window), cells_(columns, rows)
{
    state_.columns = cells_.columns();
    state_.rows = cells_.rows();
    state_.print_width = state_.columns;
    state_.region_rows = state_.rows;
    state_.cell_width = cell_width;
    state_.cell_height = cell_height;
    state_.client_width = state_.columns * cell_width;
    state_.client_height = state_.rows * cell_height;
    state_.window_rect = host::Rect{0, 0, state_.client_width, state_.client_height};
    state_.text_colour_value = resolve_colours(state_.text_colour, state_.attribute, state_.background_colour).foreground;
    layer_ = host::Surface(state_.client_width, state_.client_height, background_palette()[0]);
}

Cell ConsoleScreen::blank_cell() const noexcept
{
    return Cell{' ', static_cast<std::uint8_t>(state_.text_colour), state_.current_attribute(), kSingleByte};
}

host::Rect ConsoleScreen::cell_area(int row, int first, int count) const noexcept
{
    const int x = (first - state_.view_column) * state_.cell_width;
    const int y = (row - state_.view_row) * state_.cell_height;
    return host::Rect{x, y, x + count * state_.cell_width, y + state_.cell_height};
}

ConsoleScreen::PaintScope::PaintScope(ConsoleScreen& screen) : screen_(screen)
{
    if (screen_.paint_depth_++ == 0 && screen_.front_end_)
        screen_.front_end_->begin_paint(screen_.window_);
}

ConsoleScreen::PaintScope::~PaintScope()
{
    if (--screen_.paint_depth_ == 0 && screen_.front_end_)
        screen_.front_end_->end_paint(screen_.window_);
}

void ConsoleScreen::draw_cells(int row, int first, int count)
{
    if (!can_draw() || row < 0 || row >= state_.rows || count <= 0)
        return;
    int last = std::min(first + count, state_.columns);  // exclusive
    first = std::max(first, 0);
    const CellRow& cells = cells_.row(row);
    if (first > 0 && cells.flags[static_cast<std::size_t>(first)] == kTrailByte)
        --first;
    if (last < state_.columns && last > 0 && cells.flags[static_cast<std::size_t>(last - 1)] == kLeadByte)
        ++last;
    if (last <= first)
        return;
    PaintScope paint(*this);
    front_end_->paint_from_layer(window_, layer_, cell_area(row, first, last - first));
    int run_start = first;
    for (int c = first + 1; c <= last; ++c) {
        const auto i = static_cast<std::size_t>(c);
        const auto s = static_cast<std::size_t>(run_start);
        if (c == last || cells.colours[i] != cells.colours[s] || cells.attributes[i] != cells.attributes[s]) {
            // A double-byte character stays in one run: its trail shares the lead's colours.
            if (c < last && cells.flags[i] == kTrailByte)
                continue;
            draw_run(row, run_start, c - run_start);
            run_start = c;
        }
    }
}

void ConsoleScreen::draw_run(int row, int first, int count)
{
    const CellRow& cells = cells_.row(row);
    const auto f = static_cast<std::size_t>(first);
    const CellColours colours = resolve_colours(cells.colours[f], cells.attributes[f], state_.background_colour);
    const host::Rect area = cell_area(row, first, count);
    host::TextRun run;
    run.x = area.left;
    run.y = area.top;
    run.column = first;
    run.row = row;
    run.text = std::string_view(reinterpret_cast<const char*>(cells.characters.data()) + first, static_cast<std::size_t>(count));
    run.foreground = colours.foreground;
    run.background = colours.background;
    mark_background(run, colours.reversed);
    if (colours.reversed)
        front_end_->paint_fill(window_, area, colours.background);
    front_end_->paint_text(window_, run);
}

void ConsoleScreen::draw_rows(int first, int count)
{
    if (!can_draw())
        return;
    PaintScope paint(*this);
    for (int r = std::max(first, 0); r < std::min(first + count, state_.rows); ++r)
        draw_cells(r, 0, state_.columns);
}

void ConsoleScreen::clear_rows(int first, int count)
{
    first = std::max(first, 0);
    count = std::min(count, state_.rows - first);
    if (count <= 0)
        return;
    const Cell blank = blank_cell();
    cells_.clear_rows(first, count, blank.colour, blank.attribute);
    // Drawn like any other cells, so that reversed blanks show at once.
    draw_rows(first, count);
}

void ConsoleScreen::scroll_region_up()
{
    const int top = state_.region_top;
    const int count = state_.region_rows;
    if (count <= 0)
        return;
    cells_.shift_rows_up(top, count);
    const Cell blank = blank_cell();
    cells_.clear_rows(top + count - 1, 1, blank.colour, blank.attribute);
    draw_rows(top, count);
    scrolled_ = true;
}

void ConsoleScreen::paint_all()
{
    if (!can_draw())
        return;
    PaintScope paint(*this);
    front_end_->paint_from_layer(window_, layer_, host::Rect{0, 0, state_.client_width, state_.client_height});
    draw_rows(state_.view_row, state_.rows - state_.view_row);
    scrolled_ = false;
}

void ConsoleScreen::fill_graphics_view()
{
    host::Rect area = state_.graphics_view;
    if (area.empty())
        area = host::Rect{0, 0, layer_.width(), layer_.height()};
    layer_.fill(area, background_palette()[static_cast<std::size_t>(state_.background_colour & 15)]);
    if (!can_draw())
        return;
    PaintScope paint(*this);
    front_end_->paint_from_layer(window_, layer_, area);
}

void ConsoleScreen::show_caret()
{
    if (!front_end_ || state_.cursor_switch == 0 || state_.focus == 0)
        return;
    const host::Rect area = cell_area(state_.cursor_row, state_.cursor_column, 1);
    front_end_->set_caret(window_, true, area.left, area.top, 2, state_.cell_height);
}

void ConsoleScreen::hide_caret()
{
    if (front_end_)
        front_end_->set_caret(window_, false, 0, 0, 2, state_.cell_height);
}

}  // namespace rt::console
