// Double-byte characters of the program's Japanese code page: a lead byte in
// 0x81-0x9F or 0xE0-0xFC starts a two-byte character, and the byte after it
// belongs to that character whatever its value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace rt::sjis {

inline constexpr bool is_lead_byte(std::uint8_t byte) noexcept
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

inline constexpr bool is_lead_byte(char byte) noexcept
{
    return is_lead_byte(static_cast<std::uint8_t>(byte));
}

// Bytes taken by the character that starts at `position`: 2 for a lead byte
// with a byte after it, else 1 (a lead byte at the very end stands alone).
inline constexpr std::size_t character_length(std::string_view text, std::size_t position) noexcept
{
    return is_lead_byte(text[position]) && position + 1 < text.size() ? 2 : 1;
}

}  // namespace rt::sjis
