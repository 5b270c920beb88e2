// The console writer: puts text into a console screen's cells at the cursor
// and draws it. CR and LF move the cursor; long text wraps without cutting a
// double-byte character; leaving a zone (above, inside or below the scroll
// region) clears that zone or scrolls the region.
#pragma once

#include <string_view>

#include "runtime/console/console_screen.h"

namespace rt::console {

class ConsoleWriter {
public:
    explicit ConsoleWriter(ConsoleScreen& screen) noexcept : screen_(screen) {}

    void write(std::string_view text);
    // Moves the cursor on by `cells`, wrapping to the next row and clearing or
    // scrolling as the zone of the cursor row demands.
    void advance(int cells);

private:
    void write_run(std::string_view run);
    // Stores `bytes` (whole characters; a lone lead byte at the end becomes a
    // space) at the cursor and draws them.
    void store(std::string_view bytes);
    int zone_of(int row) const noexcept;

    ConsoleScreen& screen_;
};

}  // namespace rt::console
