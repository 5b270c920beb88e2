// Copies the command row (21) as it stands, characters with their colours,
// to the last-command row (19), columns 0 to `lastColumn` (CELLS_GET, CELLS_PUT).
#pragma once

namespace monitor {

inline constexpr int kCommandRow = 21;
inline constexpr int kLastCommandRow = 19;

void copy_command_row(int lastColumn);

}  // namespace monitor
