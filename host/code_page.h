// Shift-JIS (code page 932) <-> Unicode conversion for text that leaves the
// program: the terminal, window titles, the font lookup, message boxes, and
// text typed through an input method.
//
// The conversion uses iconv with the name "CP932", which keeps 0x5C and 0x7E
// as backslash and tilde. Bytes that are not valid Shift-JIS become U+FFFD;
// characters that have no Shift-JIS form become "?".
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace host {

// Lead byte of a double-byte character: 0x81-0x9F, 0xE0-0xFC.
constexpr bool is_lead_byte(std::uint8_t byte) noexcept
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Trail byte of a double-byte character: 0x40-0x7E, 0x80-0xFC.
constexpr bool is_trail_byte(std::uint8_t byte) noexcept
{
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

inline constexpr char32_t kReplacementCharacter = U'\uFFFD';

// One decoded character and the number of bytes it took (1 or 2).
struct DecodedCharacter {
    char32_t code_point = kReplacementCharacter;
    int length = 1;
};

// Converts in both directions; keeps its iconv descriptors open so that
// converting many short texts stays cheap. Not thread-safe: one per user.
class ShiftJisCodec {
public:
    ShiftJisCodec();  // throws std::runtime_error when iconv has no CP932
    ~ShiftJisCodec();
    ShiftJisCodec(ShiftJisCodec&&) noexcept;
    ShiftJisCodec& operator=(ShiftJisCodec&&) noexcept;

    // Decodes the character at the start of `bytes` (which must not be empty).
    DecodedCharacter decode(std::string_view bytes);
    // Unicode of one double-byte character; U+FFFD when the pair is invalid.
    char32_t decode_pair(std::uint8_t lead, std::uint8_t trail);

    std::u32string to_utf32(std::string_view sjis);
    std::string to_utf8(std::string_view sjis);
    // Shift-JIS bytes of one character; "?" when it has none.
    std::string encode(char32_t code_point);
    // Invalid UTF-8 sequences and unmappable characters become "?".
    std::string from_utf8(std::string_view utf8);

private:
    class Converter;
    std::unique_ptr<Converter> to_unicode_;
    std::unique_ptr<Converter> from_unicode_;
};

// Convenience forms for occasional texts (titles, message boxes).
std::string sjis_to_utf8(std::string_view sjis);
std::string utf8_to_sjis(std::string_view utf8);

// Appends the UTF-8 form of one code point.
void append_utf8(std::string& out, char32_t code_point);
// Decodes one UTF-8 sequence at the start of `text`; U+FFFD (length 1) when invalid.
DecodedCharacter decode_utf8(std::string_view text) noexcept;

}  // namespace host
