// The print path: select a target (the console window or an open file
// number), then print items through the print formatter to the target's
// device output.
#pragma once

#include <cstdint>
#include <string_view>

namespace rt {

// Selects a window as the target of the items that follow (0 = main console window).
void PRINT_TO_WINDOW(std::uint32_t window);
// Selects the device of an open file number (50 for 0 or above 255, 57 when not open).
void PRINT_TO_FILE(std::int32_t file_number);
// Pops one string and prints it followed by the separator: 0 line end, 1 comma zone, 2 nothing.
void PRINT_STR(std::uint16_t separator);
// End of a print statement; nothing to do.
inline void PRINT_END() {}
// The current column of the console (file number 0 or "SCRN:") or of a
// file-like device; 0 for other devices.
std::int16_t CURSOR_COLUMN(std::uint32_t window, std::int32_t file_number);

}  // namespace rt

namespace rt::console {

// Prints one item's text to the selected target (PRINT_STR and formatted output).
void print_item(std::string_view text, int separator);
// Device output: `bytes` to the selected target without formatting.
void write_to_output(std::string_view bytes);

}  // namespace rt::console
