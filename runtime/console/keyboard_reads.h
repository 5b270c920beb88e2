// Reading keys from the main console window's key queue: INKEY without
// waiting, and the blocking read that pumps messages while the queue is empty.
#pragma once

#include <cstdint>
#include <optional>

namespace rt {

// INKEY: pushes the empty string or a one-byte string. Ctrl+C runs the break
// routine and yields the empty string; Delete reads as 127. Raises 1000 for a
// window reference that names no window.
void INKEY(std::uint32_t window);

}  // namespace rt

namespace rt::console {

// Waits for one key code, dispatching messages meanwhile; runs the break
// routine first when the code is Ctrl+C. Returns 0 when the program is closing.
std::uint8_t read_key_blocking();

// Ends the program because its main window is gone: lets the quit message
// that the window posted reach the pump.
[[noreturn]] void end_program_without_window();

}  // namespace rt::console
