#include "runtime/console/line_editor.h"

#include <algorithm>

#include "runtime/console/console_writer.h"
#include "runtime/console/key_codes.h"
#include "runtime/core/shift_jis.h"

namespace rt::console {

namespace {
constexpr std::uint8_t kDeleteToEnd = 5;
constexpr std::uint8_t kFirstCharacter = 32;
}  // namespace

LineEditor::LineEditor(ConsoleWindow& window, Hooks hooks, bool shift_home_clears)
    : window_(window), hooks_(std::move(hooks)), shift_home_clears_(shift_home_clears)
{
    const TextScreenState& s = window_.screen().state();
    start_column_ = s.cursor_column;
    start_row_ = s.cursor_row;
    room_ = room_from_cursor();
    capacity_ = std::min(room_, kMaxLineLength);
}

std::size_t LineEditor::room_from_cursor() const noexcept
{
    const TextScreenState& s = window_.screen().state();
    const int r = start_row_;
    const int c = start_column_;
    long room;
    if (r < s.region_top)
        room = long(s.region_top - r) * s.columns - c - 1;
    else if (s.region_rows > 0 && r < s.region_top + s.region_rows)
        room = long(s.region_rows) * s.columns - c - 1;  // the cursor after the text stays in the region
    else
        room = long(s.rows - r) * s.columns - c - 1;
    return static_cast<std::size_t>(std::max(room, 0L));
}

bool LineEditor::edit(std::string& line)
{
    TextScreenState& s = window_.screen().state();
    const int saved_switch = s.cursor_switch;
    s.cursor_switch = 1;
    window_.screen().show_caret();
    Outcome outcome = Outcome::Continue;
    while (outcome == Outcome::Continue)
        outcome = handle(hooks_.next_key());
    if (outcome == Outcome::Closing)
        return false;
    cursor_ = text_.size();
    place_cursor();
    if (window_.alive()) {
        ConsoleWriter(window_.screen()).write("\r\n");
        s.cursor_switch = saved_switch;
        if (saved_switch == 0)
            window_.screen().hide_caret();
        window_.keys().clear();
    }
    line = text_;
    return true;
}

LineEditor::Outcome LineEditor::handle(std::uint8_t code)
{
    if (held_lead_ != 0) {
        const char pair[2] = {static_cast<char>(held_lead_), static_cast<char>(code)};
        held_lead_ = 0;
        type_character(std::string_view(pair, 2));
        return Outcome::Continue;
    }
    switch (code) {
    case key::kEnter:
        return Outcome::Done;
    case key::kClosing:
        return Outcome::Closing;
    case key::kLeft:
        cursor_ = previous_boundary(cursor_);
        place_cursor();
        break;
    case key::kRight:
        cursor_ = next_boundary(cursor_);
        place_cursor();
        break;
    case key::kBackspace:
        if (cursor_ > 0) {
            const std::size_t from = previous_boundary(cursor_);
            const std::size_t count = cursor_ - from;
            cursor_ = from;
            erase(from, count);
        }
        break;
    case key::kDelete:
        if (cursor_ < text_.size())
            erase(cursor_, next_boundary(cursor_) - cursor_);
        break;
    case key::kHome:
        cursor_ = 0;
        place_cursor();
        break;
    case key::kEnd:
        cursor_ = text_.size();
        place_cursor();
        break;
    case key::kShiftHome:
        if (shift_home_clears_) {
            cursor_ = 0;
            erase(0, text_.size());
        }
        break;
    case kDeleteToEnd:
        erase(cursor_, text_.size() - cursor_);
        break;
    case key::kInsert:
        insert_ = !insert_;
        break;
    case key::kCancel:
        if (hooks_.break_armed && hooks_.break_armed()) {
            cursor_ = text_.size();
            place_cursor();
            ConsoleWriter(window_.screen()).write("\r\n");
            if (hooks_.run_break)
                hooks_.run_break();
        }
        return Outcome::Done;
    default:
        if (code < kFirstCharacter)
            break;  // Ctrl+C, Up, Down and the other control codes
        if (sjis::is_lead_byte(code)) {
            held_lead_ = code;
            break;
        }
        {
            const char c = static_cast<char>(code);
            type_character(std::string_view(&c, 1));
        }
        break;
    }
    return Outcome::Continue;
}

void LineEditor::type_character(std::string_view character)
{
    const std::size_t old_length = text_.size();
    std::string changed = text_;
    if (insert_ || cursor_ == text_.size()) {
        changed.insert(cursor_, character);
    } else {
        // The character replaced at the far end may be cut: its other half becomes a space.
        const std::size_t end = cursor_ + character.size();
        std::size_t covered = cursor_;
        while (covered < end && covered < text_.size())
            covered = next_boundary(covered);
        changed.replace(cursor_, covered - cursor_, character);
        if (covered > end)
            changed.insert(end, covered - end, ' ');
    }
    if (changed.size() > capacity_ || cells_used(changed) > room_) {
        window_.beep();
        return;
    }
    text_ = std::move(changed);
    cursor_ += character.size();
    redraw(old_length);
}

void LineEditor::erase(std::size_t from, std::size_t count)
{
    if (count == 0)
        return;
    const std::size_t old_length = text_.size();
    text_.erase(from, count);
    redraw(old_length);
}

std::size_t LineEditor::previous_boundary(std::size_t position) const noexcept
{
    std::size_t i = 0, last = 0;
    while (i < position) {
        last = i;
        i += sjis::character_length(text_, i);
    }
    return last;
}

std::size_t LineEditor::next_boundary(std::size_t position) const noexcept
{
    return position >= text_.size() ? text_.size() : position + sjis::character_length(text_, position);
}

std::pair<int, int> LineEditor::layout(const std::string& text, std::size_t position) const noexcept
{
    const int columns = window_.screen().state().columns;
    int column = start_column_;
    int row = start_row_;
    for (std::size_t i = 0; i < position && i < text.size();) {
        const std::size_t n = sjis::character_length(text, i);
        const int width = static_cast<int>(n);
        if (column + width > columns) {
            column = 0;
            ++row;
        }
        column += width;
        if (column >= columns) {
            column = 0;
            ++row;
        }
        i += n;
    }
    return {column, row};
}

std::size_t LineEditor::cells_used(const std::string& text) const noexcept
{
    const auto [column, row] = layout(text, text.size());
    const long cells = long(row - start_row_) * window_.screen().state().columns + column - start_column_;
    return static_cast<std::size_t>(std::max(cells, 0L));
}

void LineEditor::redraw(std::size_t old_length)
{
    TextScreenState& s = window_.screen().state();
    s.cursor_column = start_column_;
    s.cursor_row = start_row_;
    std::string shown = text_;
    if (old_length > text_.size())
        shown.append(old_length - text_.size(), ' ');
    ConsoleWriter(window_.screen()).write(shown);
    // The scroll region moved up under the text when the writer scrolled it.
    const int scrolled = layout(shown, shown.size()).second - s.cursor_row;
    if (scrolled > 0)
        start_row_ -= scrolled;
    place_cursor();
}

void LineEditor::place_cursor()
{
    TextScreenState& s = window_.screen().state();
    const auto [column, row] = layout(text_, cursor_);
    s.cursor_column = column;
    s.cursor_row = std::clamp(row, 0, s.rows - 1);
    window_.screen().show_caret();
}

}  // namespace rt::console
