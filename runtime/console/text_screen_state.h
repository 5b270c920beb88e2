// The text screen state of one console window: geometry, cursor, colours,
// scroll region and the pending half of a double-byte character.
#pragma once

#include <cstdint>

#include "host/surface.h"

namespace rt::console {

// A double-byte lead byte written last whose trail byte has not come yet.
struct PendingLeadByte {
    bool present = false;
    std::uint8_t lead = 0;
    std::uint8_t trail = 0;
    int column = 0;  // cursor position at which the trail byte completes it
    int row = 0;
};

struct TextScreenState {
    host::Rect graphics_view{};  // area repainted by CLS 5; empty = the whole client area
    host::Rect window_rect{};    // outer window size that shows the whole screen
    int client_width = 0;        // pixels needed to show all columns and rows
    int client_height = 0;
    int size_state = 0;          // last size request type; 1 = minimised
    int view_column = 0;         // first visible column and row
    int view_row = 0;
    int text_colour = 7;
    int background_colour = 0;
    int drawing_colour = 15;
    std::uint32_t attribute = 4;  // 0, 1, 4 or 5; bit 15 is masked off wherever used
    int columns = 80;
    int rows = 24;
    int print_width = 80;
    int cursor_column = 0;
    int cursor_row = 0;
    int cursor_switch = 0;  // 1 = caret shown at the cursor
    int focus = 0;          // 1 while the window has the keyboard focus
    int region_top = 0;
    int region_rows = 24;
    int cell_width = 8;
    int cell_height = 18;
    std::uint32_t text_colour_value = 0;  // resolved colour of text_colour
    int graphics_text = 0;                // text drawn as graphics (drawing operations set it)
    int graphics_text_x = 0;              // graphics text position, pixels (graphics-text mode)
    int graphics_text_y = 0;
    int brush_colour = 0;                 // background colour number of the erase brush
    PendingLeadByte pending{};

    bool minimised() const noexcept { return size_state == 1; }
    std::uint8_t current_attribute() const noexcept { return static_cast<std::uint8_t>(attribute & 0x7FFF); }
};

}  // namespace rt::console
