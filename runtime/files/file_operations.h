// The file-number operations that dispatch on the device a number reaches:
// end of file, length, character input; and KILL. Two queries for a program
// that appends to a log: where the file ends, and whether it is still there.
#pragma once

#include <cstdint>
#include <string>

namespace rt {

// EOF (the name EOF is the C library's macro): -1 at the end of the input, else 0.
std::int16_t FILE_EOF(std::int32_t file_number);
// LOC: bytes waiting (devices) or the file length (disk files).
std::int32_t LOC(std::int32_t file_number);
// INPUT$: reads `count` bytes and pushes them as a temporary string.
void INPUT_S(std::int32_t count, std::int32_t file_number);
// Takes up to `limit` bytes that the device open on `file_number` has
// received, without waiting (nothing when none waits or its line is gone).
std::string take_waiting_input(std::int32_t file_number, std::size_t limit);
// How many times the line of the device open on `file_number` went away or
// came back since it was opened (0 for devices without a line). A change
// tells that nothing asked of the far end before it will be answered.
std::uint32_t line_changes(std::int32_t file_number);
// KILL: pops a file name and deletes the file. Refuses device names (55), a
// missing file (63) and a file open on any file number (52).
void KILL();

// True when the disk file open on `file_number` ends inside a line (its last
// byte before the write position is no line end). False for other devices.
bool file_ends_inside_line(std::int32_t file_number);
// True when the path of the disk file open on `file_number` no longer names
// that file (deleted, or replaced by another). False for other devices.
bool file_replaced_on_disk(std::int32_t file_number);

// Text files as Linux editors write them: when the disk file just opened for
// input on `file_number` is UTF-8 (it starts with the byte-order mark, or is
// valid UTF-8 with a non-ASCII character), the input statements read it
// converted to Shift-JIS, a character Shift-JIS lacks read as "?". Files in
// Shift-JIS or plain ASCII, and other devices, are read as they are.
// Returns whether the file was converted.
bool read_utf8_as_shift_jis(std::int32_t file_number);
// Where the next input from the disk file on `file_number` starts, and the
// line (1 for the first) that holds such a position: for messages that name
// the line of a file. 0 for other devices.
std::uint32_t input_position(std::int32_t file_number);
std::int32_t input_line_at(std::int32_t file_number, std::uint32_t position);

}  // namespace rt
