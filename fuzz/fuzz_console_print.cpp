// Random bytes written at random cursor positions and scroll regions: the cell
// buffer must stay consistent (every lead cell followed by its trail, every
// trail preceded by its lead) and the cursor must stay on the screen.
// fuzz-links: qk_console qk_files qk_core qk_host
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "host/desktop.h"
#include "host/headless_front_end.h"
#include "runtime/console/console_window.h"
#include "runtime/console/console_writer.h"

namespace {

using rt::console::CellBuffer;
using rt::console::ConsoleScreen;

void check_consistent(const ConsoleScreen& screen)
{
    const auto& s = screen.state();
    if (s.cursor_column < 0 || s.cursor_column >= s.columns || s.cursor_row < 0 || s.cursor_row >= s.rows)
        std::abort();
    const CellBuffer& cells = screen.cells();
    for (int row = 0; row < s.rows; ++row) {
        const auto& flags = cells.row(row).flags;
        for (int c = 0; c < s.columns; ++c) {
            const auto flag = flags[static_cast<std::size_t>(c)];
            if (flag == rt::console::kLeadByte && (c + 1 >= s.columns || flags[static_cast<std::size_t>(c + 1)] != rt::console::kTrailByte))
                std::abort();
            if (flag == rt::console::kTrailByte && (c == 0 || flags[static_cast<std::size_t>(c - 1)] != rt::console::kLeadByte))
                std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The font is loaded once; each input gets a fresh window.
    static host::Desktop desktop(std::make_unique<host::HeadlessFrontEnd>());
    rt::console::ConsoleWindow window(desktop, "FUZZ", {});
    ConsoleScreen& screen = window.screen();
    auto& s = screen.state();
    std::size_t i = 0;
    auto next = [&]() -> std::uint8_t { return i < size ? data[i++] : 0; };
    while (i < size) {
        const std::uint8_t op = next();
        switch (op % 4) {
        case 0:  // move the cursor
            s.cursor_column = next() % s.columns;
            s.cursor_row = next() % s.rows;
            break;
        case 1: {  // new scroll region
            const int top = next() % s.rows;
            s.region_top = top;
            s.region_rows = next() % (s.rows - top + 1);
            break;
        }
        default: {  // write a chunk of bytes as they come
            const std::size_t wanted = next();
            const std::size_t length = std::min(wanted, size - i);
            rt::console::ConsoleWriter(screen).write(
                std::string_view(reinterpret_cast<const char*>(data + i), length));
            i += length;
            break;
        }
        }
        check_consistent(screen);
    }
    return 0;
}
