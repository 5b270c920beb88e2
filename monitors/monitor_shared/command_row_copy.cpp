#include "command_row_copy.h"

#include <array>
#include <cstdint>
#include <span>

#include "runtime/console/screen_statements.h"
#include "runtime/core/frame.h"

namespace monitor {

using rt::stmt;

void copy_command_row(int lastColumn)
{
    std::array<std::int16_t, 81> cells{};
    const auto count = static_cast<std::size_t>(lastColumn + 1);
    stmt(__LINE__, [&] {
        rt::CELLS_GET(0, 0, kCommandRow, lastColumn, kCommandRow, std::span<std::int16_t>(cells.data(), count));
    });
    stmt(__LINE__, [&] {
        rt::CELLS_PUT(0, 0, kLastCommandRow, lastColumn, kLastCommandRow,
                      std::span<const std::int16_t>(cells.data(), count));
    });
}

}  // namespace monitor
