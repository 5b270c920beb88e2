// The console line editor of the input statement: edits up to 255 bytes in
// place on the screen, starting at the cursor, with insert and overwrite
// modes and the editing keys; double-byte characters move and delete whole.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "runtime/console/console_window.h"

namespace rt::console {

inline constexpr std::size_t kMaxLineLength = 255;

class LineEditor {
public:
    struct Hooks {
        std::function<std::uint8_t()> next_key;  // the blocking key read; 0: the program is closing
        std::function<bool()> break_armed;       // user break armed and not held
        std::function<void()> run_break;         // the break routine
    };

    LineEditor(ConsoleWindow& window, Hooks hooks, bool shift_home_clears);

    // Edits until Enter (or code 24 with the user break off); prints CR LF and
    // empties the key queue at the end. Returns false, abandoning the line,
    // when the program is closing (key code 0).
    bool edit(std::string& line);

    // The most bytes the text may hold, and the screen cells it may cover.
    std::size_t capacity() const noexcept { return capacity_; }
    std::size_t room() const noexcept { return room_; }

private:
    enum class Outcome { Continue, Done, Closing };

    Outcome handle(std::uint8_t code);
    void type_character(std::string_view character);
    void erase(std::size_t from, std::size_t count);
    // Character boundaries around the cursor.
    std::size_t previous_boundary(std::size_t position) const noexcept;
    std::size_t next_boundary(std::size_t position) const noexcept;
    // Rewrites the text from its start (clearing `old_length` - new length
    // cells after it) and puts the cursor at `cursor_`.
    void redraw(std::size_t old_length);
    void place_cursor();
    // Screen position of byte `position` of `text` written from the start, as
    // the console writer lays it out.
    std::pair<int, int> layout(const std::string& text, std::size_t position) const noexcept;
    // Cells from the start to the end of `text`.
    std::size_t cells_used(const std::string& text) const noexcept;
    std::size_t room_from_cursor() const noexcept;

    ConsoleWindow& window_;
    Hooks hooks_;
    bool shift_home_clears_;
    std::string text_;
    std::size_t cursor_ = 0;
    bool insert_ = true;
    int start_column_ = 0;
    int start_row_ = 0;
    std::size_t capacity_ = 0;  // bytes
    std::size_t room_ = 0;      // cells
    std::uint8_t held_lead_ = 0;
};

}  // namespace rt::console
