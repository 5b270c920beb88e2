#include "bitmap_font.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace host {
namespace {

int hex_digit(char c) noexcept
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

}  // namespace

Glyph missing_glyph_box(int width) noexcept
{
    Glyph box;
    box.width = width;
    const int right = width - 2;
    for (int y = 1; y < glyph_height - 1; ++y) {
        std::uint16_t bits = 0;
        for (int x = 1; x <= right; ++x) {
            const bool edge = y == 1 || y == glyph_height - 2 || x == 1 || x == right;
            if (edge)
                bits |= std::uint16_t(1U << (15 - x));
        }
        box.rows[std::size_t(y)] = bits;
    }
    return box;
}

std::string BitmapFont::configured_path()
{
    const char* configured = std::getenv("QK_FONT_FILE");
    return configured && *configured ? configured : default_file;
}

BitmapFont BitmapFont::load(const std::string& path)
{
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file)
        throw std::runtime_error("cannot open font file " + path);
    const std::streamoff size = file.tellg();
    std::string contents(size > 0 ? std::size_t(size) : 0, '\0');
    file.seekg(0);
    if (!file.read(contents.data(), std::streamsize(contents.size())))
        throw std::runtime_error("cannot read font file " + path);
    BitmapFont font = from_hex_text(std::move(contents));
    if (font.glyph_count() == 0)
        throw std::runtime_error("no glyphs in font file " + path);
    return font;
}

BitmapFont BitmapFont::from_hex_text(std::string text)
{
    BitmapFont font;
    font.text_ = std::move(text);
    const std::string& t = font.text_;
    font.index_.reserve(t.size() / 40);
    std::size_t line = 0;
    bool sorted = true;
    while (line < t.size()) {
        const void* newline = std::memchr(t.data() + line, '\n', t.size() - line);
        const std::size_t end = newline ? std::size_t(static_cast<const char*>(newline) - t.data()) : t.size();
        std::size_t pos = line;
        char32_t code_point = 0;
        int code_digits = 0;
        for (int d; pos < end && (d = hex_digit(t[pos])) >= 0 && code_digits < 8; ++pos, ++code_digits)
            code_point = code_point << 4 | char32_t(d);
        if (code_digits > 0 && pos < end && t[pos] == ':') {
            const std::size_t bits = pos + 1;
            std::size_t digits = end - bits;
            if (digits > 0 && t[end - 1] == '\r')
                --digits;
            // The digits themselves are checked when the glyph is decoded.
            if (digits == 32 || digits == 64) {
                if (!font.index_.empty() && font.index_.back().code_point >= code_point)
                    sorted = false;
                font.index_.push_back({code_point, std::uint32_t(bits), std::uint32_t(digits)});
            }
        }
        line = end + 1;
    }
    if (!sorted) {
        std::stable_sort(font.index_.begin(), font.index_.end(),
                         [](const Entry& a, const Entry& b) { return a.code_point < b.code_point; });
    }
    font.decoded_.resize(kDecodedBelow);
    font.decoded_present_.assign(kDecodedBelow, false);
    for (char32_t c = 0; c < kDecodedBelow; ++c) {
        if (const Entry* e = font.entry(c)) {
            font.decode(*e, font.decoded_[c]);
            font.decoded_present_[c] = true;
        }
    }
    return font;
}

const BitmapFont::Entry* BitmapFont::entry(char32_t code_point) const noexcept
{
    const auto it = std::lower_bound(index_.begin(), index_.end(), code_point,
                                     [](const Entry& e, char32_t c) { return e.code_point < c; });
    return it != index_.end() && it->code_point == code_point ? &*it : nullptr;
}

bool BitmapFont::has(char32_t code_point) const noexcept
{
    return entry(code_point) != nullptr;
}

bool BitmapFont::find(char32_t code_point, Glyph& out) const noexcept
{
    if (code_point < decoded_.size()) {
        if (!decoded_present_[code_point])
            return false;
        out = decoded_[code_point];
        return true;
    }
    const Entry* e = entry(code_point);
    if (!e)
        return false;
    decode(*e, out);
    return true;
}

void BitmapFont::decode(const Entry& e, Glyph& out) const noexcept
{
    const int digits_per_row = int(e.digits) / glyph_height;  // 2 or 4
    out.width = digits_per_row * 4;
    const char* hex = text_.data() + e.offset;
    for (int y = 0; y < glyph_height; ++y) {
        unsigned value = 0;
        for (int d = 0; d < digits_per_row; ++d)
            value = value << 4 | unsigned(std::max(hex_digit(hex[y * digits_per_row + d]), 0));
        out.rows[std::size_t(y)] = std::uint16_t(value << (16 - out.width));
    }
}

Glyph BitmapFont::glyph_or_box(char32_t code_point, int missing_width) const noexcept
{
    Glyph glyph;
    if (!find(code_point, glyph))
        glyph = missing_glyph_box(missing_width);
    return glyph;
}

}  // namespace host
