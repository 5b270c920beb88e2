#include "host/code_page.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <stdexcept>

namespace host {

// One open iconv descriptor, closed with its owner.
class ShiftJisCodec::Converter {
public:
    Converter(const char* to, const char* from) : descriptor_(iconv_open(to, from))
    {
        if (descriptor_ == invalid())
            throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " + to);
    }
    ~Converter() { iconv_close(descriptor_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts all of `in`; returns the bytes written, or -1 when the input is
    // invalid or does not fit. The shift state is reset either way.
    int convert(const char* in, std::size_t in_length, char* out, std::size_t out_capacity) noexcept
    {
        char* in_pointer = const_cast<char*>(in);
        char* out_pointer = out;
        std::size_t in_left = in_length;
        std::size_t out_left = out_capacity;
        const std::size_t result = iconv(descriptor_, &in_pointer, &in_left, &out_pointer, &out_left);
        iconv(descriptor_, nullptr, nullptr, nullptr, nullptr);
        if (result == static_cast<std::size_t>(-1) || in_left != 0)
            return -1;
        return static_cast<int>(out_capacity - out_left);
    }

private:
    static iconv_t invalid() noexcept { return reinterpret_cast<iconv_t>(-1); }
    iconv_t descriptor_;
};

ShiftJisCodec::ShiftJisCodec()
    : to_unicode_(std::make_unique<Converter>("UTF-32LE", "CP932")),
      from_unicode_(std::make_unique<Converter>("CP932", "UTF-32LE"))
{
}

ShiftJisCodec::~ShiftJisCodec() = default;
ShiftJisCodec::ShiftJisCodec(ShiftJisCodec&&) noexcept = default;
ShiftJisCodec& ShiftJisCodec::operator=(ShiftJisCodec&&) noexcept = default;

char32_t ShiftJisCodec::decode_pair(std::uint8_t lead, std::uint8_t trail)
{
    if (!is_lead_byte(lead) || !is_trail_byte(trail))
        return kReplacementCharacter;
    const std::array<char, 2> in{static_cast<char>(lead), static_cast<char>(trail)};
    std::array<unsigned char, 8> out{};
    const int written = to_unicode_->convert(in.data(), in.size(), reinterpret_cast<char*>(out.data()), out.size());
    if (written != 4)
        return kReplacementCharacter;
    return char32_t(out[0]) | char32_t(out[1]) << 8 | char32_t(out[2]) << 16 | char32_t(out[3]) << 24;
}

DecodedCharacter ShiftJisCodec::decode(std::string_view bytes)
{
    const auto first = static_cast<std::uint8_t>(bytes.at(0));
    if (first < 0x80)
        return {first, 1};
    if (first >= 0xA1 && first <= 0xDF)  // half-width katakana
        return {char32_t(0xFF61 + (first - 0xA1)), 1};
    if (is_lead_byte(first) && bytes.size() >= 2) {
        const auto second = static_cast<std::uint8_t>(bytes[1]);
        if (is_trail_byte(second))
            return {decode_pair(first, second), 2};
    }
    return {kReplacementCharacter, 1};
}

std::u32string ShiftJisCodec::to_utf32(std::string_view sjis)
{
    std::u32string out;
    out.reserve(sjis.size());
    while (!sjis.empty()) {
        const DecodedCharacter c = decode(sjis);
        out.push_back(c.code_point);
        sjis.remove_prefix(c.length);
    }
    return out;
}

std::string ShiftJisCodec::to_utf8(std::string_view sjis)
{
    std::string out;
    out.reserve(sjis.size() * 3 / 2);
    while (!sjis.empty()) {
        const DecodedCharacter c = decode(sjis);
        append_utf8(out, c.code_point);
        sjis.remove_prefix(c.length);
    }
    return out;
}

std::string ShiftJisCodec::encode(char32_t code_point)
{
    if (code_point < 0x80)
        return std::string(1, static_cast<char>(code_point));
    const std::array<char, 4> in{static_cast<char>(code_point & 0xFF), static_cast<char>((code_point >> 8) & 0xFF),
                                 static_cast<char>((code_point >> 16) & 0xFF), static_cast<char>(code_point >> 24)};
    std::array<char, 8> out{};
    const int written = from_unicode_->convert(in.data(), in.size(), out.data(), out.size());
    if (written <= 0)
        return "?";
    return std::string(out.data(), static_cast<std::size_t>(written));
}

std::string ShiftJisCodec::from_utf8(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    while (!utf8.empty()) {
        const DecodedCharacter c = decode_utf8(utf8);
        out += c.code_point == kReplacementCharacter ? std::string("?") : encode(c.code_point);
        utf8.remove_prefix(static_cast<std::size_t>(c.length));
    }
    return out;
}

std::string sjis_to_utf8(std::string_view sjis)
{
    return ShiftJisCodec().to_utf8(sjis);
}

std::string utf8_to_sjis(std::string_view utf8)
{
    return ShiftJisCodec().from_utf8(utf8);
}

void append_utf8(std::string& out, char32_t c)
{
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        c = kReplacementCharacter;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

DecodedCharacter decode_utf8(std::string_view text) noexcept
{
    if (text.empty())
        return {kReplacementCharacter, 1};
    const auto first = static_cast<std::uint8_t>(text[0]);
    if (first < 0x80)
        return {first, 1};
    int length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if ((first & 0xE0) == 0xC0) {
        length = 2, value = first & 0x1F, minimum = 0x80;
    } else if ((first & 0xF0) == 0xE0) {
        length = 3, value = first & 0x0F, minimum = 0x800;
    } else if ((first & 0xF8) == 0xF0) {
        length = 4, value = first & 0x07, minimum = 0x10000;
    } else {
        return {kReplacementCharacter, 1};
    }
    if (text.size() < static_cast<std::size_t>(length))
        return {kReplacementCharacter, 1};
    for (int i = 1; i < length; ++i) {
        const auto next = static_cast<std::uint8_t>(text[static_cast<std::size_t>(i)]);
        if ((next & 0xC0) != 0x80)
            return {kReplacementCharacter, 1};
        value = value << 6 | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return {kReplacementCharacter, 1};
    return {value, length};
}

}  // namespace host
