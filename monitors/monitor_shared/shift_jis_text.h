// Shift-JIS text operations the monitors need: upper-casing that leaves
// double-byte characters alone, display width, and cutting a text to a byte
// count without splitting a double-byte character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace monitor {

// a-z to A-Z for single-byte characters; both bytes of a double-byte
// character stay as they are.
std::string upper_case(std::string_view text);

// Cells the text takes: 2 per double-byte character, 1 per single byte.
std::size_t display_width(std::string_view text);

// The longest start of `text` of at most `max_bytes` bytes that ends on a
// character boundary.
std::string_view cut_to_characters(std::string_view text, std::size_t max_bytes);

}  // namespace monitor
