#include "runtime/console/console_writer.h"

#include "runtime/core/shift_jis.h"

namespace rt::console {

namespace {

// Zones of rows relative to the scroll region.
constexpr int kInsideRegion = 0;
constexpr int kAboveRegion = 1;
constexpr int kBelowRegion = 2;

// Length of the longest prefix of `text` of at most `limit` bytes that ends on
// a character boundary; `cut_lead` tells whether a double-byte character
// would have been cut at the limit.
std::size_t whole_characters(std::string_view text, std::size_t limit, bool& cut_lead) noexcept
{
    std::size_t i = 0;
    cut_lead = false;
    while (i < limit && i < text.size()) {
        const std::size_t n = sjis::character_length(text, i);
        if (i + n > limit) {
            cut_lead = true;
            break;
        }
        i += n;
    }
    return i;
}

// True when `text` ends with a lead byte that has no trail byte in it.
bool ends_with_lone_lead(std::string_view text) noexcept
{
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t n = sjis::character_length(text, i);
        if (i + n == text.size())
            return n == 1 && sjis::is_lead_byte(text[i]);
        i += n;
    }
    return false;
}

}  // namespace

int ConsoleWriter::zone_of(int row) const noexcept
{
    const TextScreenState& s = screen_.state();
    if (row < s.region_top)
        return kAboveRegion;
    if (s.region_rows > 0 && row < s.region_top + s.region_rows)
        return kInsideRegion;
    return kBelowRegion;
}

void ConsoleWriter::write(std::string_view text)
{
    TextScreenState& s = screen_.state();
    const bool caret = s.cursor_switch != 0;
    if (caret)
        screen_.hide_caret();
    ConsoleScreen::PaintScope paint(screen_);
    std::size_t run_start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\n' && c != '\r')
            continue;
        write_run(text.substr(run_start, i - run_start));
        run_start = i + 1;
        if (c == '\r') {
            s.cursor_column = 0;
        } else {
            const int column = s.cursor_column;
            advance(s.columns);
            s.cursor_column = column;
        }
    }
    write_run(text.substr(run_start));
    if (caret)
        screen_.show_caret();
}

void ConsoleWriter::write_run(std::string_view run)
{
    if (run.empty())
        return;
    TextScreenState& s = screen_.state();
    PendingLeadByte& pending = s.pending;
    if (pending.present) {
        pending.present = false;
        if (pending.column == s.cursor_column && pending.row == s.cursor_row) {
            if (s.cursor_column > 0)
                --s.cursor_column;
            const char pair[2] = {static_cast<char>(pending.lead), run[0]};
            store(std::string_view(pair, 2));
            advance(2);
            run.remove_prefix(1);
        }
    }
    while (!run.empty() && static_cast<int>(run.size()) > s.columns - s.cursor_column) {
        const auto room = static_cast<std::size_t>(s.columns - s.cursor_column);
        bool cut_lead = false;
        std::size_t take = whole_characters(run, room, cut_lead);
        if (take == 0 && room == static_cast<std::size_t>(s.columns)) {
            take = 1;  // a one-column screen cannot hold a double-byte character
            cut_lead = false;
        }
        store(run.substr(0, take));
        if (cut_lead) {
            Cell space = screen_.blank_cell();
            space.attribute = 4;
            const int last = s.columns - 1;
            screen_.cells().set_cell(last, s.cursor_row, space);
            screen_.draw_cells(s.cursor_row, last, 1);
        }
        advance(s.columns);
        run.remove_prefix(take);
    }
    if (run.empty())
        return;
    if (ends_with_lone_lead(run)) {
        store(run.substr(0, run.size() - 1));
        advance(static_cast<int>(run.size()) - 1);
        pending.present = true;
        pending.lead = static_cast<std::uint8_t>(run.back());
        pending.trail = 0;
        // The lead's cell is kept for the character; if it is the row's last
        // cell, the character will follow on the next row instead.
        if (s.cursor_column == s.columns - 1) {
            Cell space = screen_.blank_cell();
            space.attribute = 4;
            screen_.cells().set_cell(s.cursor_column, s.cursor_row, space);
            screen_.draw_cells(s.cursor_row, s.cursor_column, 1);
        }
        advance(1);
        pending.column = s.cursor_column;
        pending.row = s.cursor_row;
        return;
    }
    store(run);
    advance(static_cast<int>(run.size()));
}

void ConsoleWriter::store(std::string_view bytes)
{
    if (bytes.empty())
        return;
    const TextScreenState& s = screen_.state();
    CellBuffer& cells = screen_.cells();
    const int row = s.cursor_row;
    const int first = s.cursor_column;
    const Cell blank = screen_.blank_cell();
    // A double-byte character cut by the left edge of the stored text loses its lead.
    if (first > 0 && cells.cell(first, row).flag == kTrailByte) {
        Cell left = cells.cell(first - 1, row);
        left.character = ' ';
        left.flag = kSingleByte;
        cells.set_cell(first - 1, row, left);
    }
    int column = first;
    for (std::size_t i = 0; i < bytes.size() && column < s.columns;) {
        Cell cell = blank;
        cell.character = static_cast<std::uint8_t>(bytes[i]);
        const std::size_t n = sjis::character_length(bytes, i);
        if (n == 2 && column + 1 < s.columns) {
            cell.flag = kLeadByte;
            cells.set_cell(column, row, cell);
            cell.character = static_cast<std::uint8_t>(bytes[i + 1]);
            cell.flag = kTrailByte;
            cells.set_cell(column + 1, row, cell);
            column += 2;
            i += 2;
            continue;
        }
        if (sjis::is_lead_byte(bytes[i]))
            cell.character = ' ';  // a lone lead byte at the end (or at the row's edge)
        cells.set_cell(column, row, cell);
        column += 1;
        i += n;
    }
    // A double-byte character cut by the right edge loses its trail.
    if (column < s.columns && cells.cell(column, row).flag == kTrailByte) {
        Cell right = cells.cell(column, row);
        right.character = ' ';
        right.flag = kSingleByte;
        cells.set_cell(column, row, right);
    }
    screen_.draw_cells(row, first - 1, column - first + 2);
}

void ConsoleWriter::advance(int cells)
{
    TextScreenState& s = screen_.state();
    const int zone = zone_of(s.cursor_row);
    s.cursor_column += cells;
    if (s.cursor_column >= s.columns) {
        s.cursor_column = 0;
        s.cursor_row += 1;
        if (s.cursor_row >= s.rows || zone_of(s.cursor_row) != zone) {
            if (zone == kAboveRegion) {
                screen_.clear_rows(0, s.region_top);
                s.cursor_row = 0;
            } else if (zone == kBelowRegion) {
                const int first = s.region_top + s.region_rows;
                screen_.clear_rows(first, s.rows - first);
                s.cursor_row = first;
            } else {
                screen_.scroll_region_up();
                s.cursor_row = s.region_top + s.region_rows - 1;
            }
        }
    }
}

}  // namespace rt::console
