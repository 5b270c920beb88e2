#include "host/bitmap_font.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <stdexcept>

#include "host/file_descriptor.h"

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

// The font file mapped into memory: nothing is read until a page is touched.
class MappedFontFile {
public:
    MappedFontFile(void* address, std::size_t size) noexcept : address_(address), size_(size) {}
    ~MappedFontFile() { ::munmap(address_, size_); }
    MappedFontFile(const MappedFontFile&) = delete;
    MappedFontFile& operator=(const MappedFontFile&) = delete;

    std::string_view text() const noexcept { return {static_cast<const char*>(address_), size_}; }

private:
    void* address_;
    std::size_t size_;
};

}  // namespace

Glyph missing_glyph_box(int width) noexcept
{
    Glyph box;
    box.width = width;
    const int right = width - 2;
    for (int y = 1; y < kGlyphHeight - 1; ++y) {
        std::uint16_t bits = 0;
        for (int x = 1; x <= right; ++x) {
            const bool edge = y == 1 || y == kGlyphHeight - 2 || x == 1 || x == right;
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
    return configured && *configured ? configured : kDefaultFile;
}

struct BitmapFont::Data {
    std::string owned_text;                  // hex text given in memory, or a file that could not be mapped
    std::unique_ptr<MappedFontFile> mapped;  // or the mapped file
    std::string_view text;
    std::once_flag index_built;
    std::vector<Entry> index;  // every glyph line, sorted by code point; built at the first need
    std::array<Glyph, kDecodedBelow> decoded{};
    std::array<bool, kDecodedBelow> decoded_present{};  // found in the sorted start of the text

    // The glyph line starting at `line`, whose end (newline or end of text) is
    // `end`; false for any other line.
    bool parse_line(std::size_t line, std::size_t end, Entry& out) const noexcept
    {
        std::size_t pos = line;
        char32_t code_point = 0;
        int code_digits = 0;
        for (int d; pos < end && (d = hex_digit(text[pos])) >= 0 && code_digits < 8; ++pos, ++code_digits)
            code_point = code_point << 4 | char32_t(d);
        if (code_digits == 0 || pos >= end || text[pos] != ':')
            return false;
        const std::size_t bits = pos + 1;
        std::size_t digits = end - bits;
        if (digits > 0 && text[end - 1] == '\r')
            --digits;
        // The digits themselves are checked when the glyph is decoded.
        if (digits != 32 && digits != 64)
            return false;
        out = {code_point, std::uint32_t(bits), std::uint32_t(digits)};
        return true;
    }

    std::size_t line_end(std::size_t line) const noexcept
    {
        const void* newline = std::memchr(text.data() + line, '\n', text.size() - line);
        return newline ? std::size_t(static_cast<const char*>(newline) - text.data()) : text.size();
    }

    void build_index()
    {
        index.reserve(text.size() / 40);
        bool sorted = true;
        Entry e{};
        for (std::size_t line = 0, end; line < text.size(); line = end + 1) {
            end = line_end(line);
            if (!parse_line(line, end, e))
                continue;
            if (!index.empty() && index.back().code_point >= e.code_point)
                sorted = false;
            index.push_back(e);
        }
        // Stable: of two lines for one code point, the first in the file counts.
        if (!sorted) {
            std::stable_sort(index.begin(), index.end(),
                             [](const Entry& a, const Entry& b) { return a.code_point < b.code_point; });
        }
    }

    const std::vector<Entry>& full_index()
    {
        std::call_once(index_built, [this] { build_index(); });
        return index;
    }
};

BitmapFont::BitmapFont(std::shared_ptr<Data> data) : data_(std::move(data))
{
    // The glyphs below kDecodedBelow from the text's start while its code
    // points rise: in a sorted file these are all of them, read without
    // indexing the rest. A code point not found there is looked up in the
    // full index (a file in another order).
    Data& d = *data_;
    Entry e{};
    bool any = false;
    char32_t last = 0;
    for (std::size_t line = 0, end; line < d.text.size(); line = end + 1) {
        end = d.line_end(line);
        if (!d.parse_line(line, end, e))
            continue;
        if (e.code_point >= kDecodedBelow || (any && e.code_point <= last))
            break;
        decode(e, d.decoded[e.code_point]);
        d.decoded_present[e.code_point] = true;
        any = true;
        last = e.code_point;
    }
}

BitmapFont BitmapFont::load(const std::string& path)
{
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (!file.valid() || ::fstat(file.get(), &info) != 0)
        throw std::runtime_error("cannot open font file " + path);
    auto data = std::make_shared<Data>();
    void* address = S_ISREG(info.st_mode) && info.st_size > 0
                        ? ::mmap(nullptr, std::size_t(info.st_size), PROT_READ, MAP_PRIVATE, file.get(), 0)
                        : MAP_FAILED;
    if (address != MAP_FAILED) {
        data->mapped = std::make_unique<MappedFontFile>(address, std::size_t(info.st_size));
        data->text = data->mapped->text();
    } else {
        char buffer[65536];
        ssize_t n;
        while ((n = ::read(file.get(), buffer, sizeof buffer)) > 0)
            data->owned_text.append(buffer, std::size_t(n));
        if (n < 0)
            throw std::runtime_error("cannot read font file " + path);
        data->text = data->owned_text;
    }
    BitmapFont font(std::move(data));
    const auto& start = font.data_->decoded_present;
    if (std::find(start.begin(), start.end(), true) == start.end() && font.glyph_count() == 0)
        throw std::runtime_error("no glyphs in font file " + path);
    return font;
}

BitmapFont BitmapFont::from_hex_text(std::string text)
{
    auto data = std::make_shared<Data>();
    data->owned_text = std::move(text);
    data->text = data->owned_text;
    return BitmapFont(std::move(data));
}

std::size_t BitmapFont::glyph_count() const noexcept
{
    return data_->full_index().size();
}

const BitmapFont::Entry* BitmapFont::entry(char32_t code_point) const noexcept
{
    const std::vector<Entry>& index = data_->full_index();
    const auto it = std::lower_bound(index.begin(), index.end(), code_point,
                                     [](const Entry& e, char32_t c) { return e.code_point < c; });
    return it != index.end() && it->code_point == code_point ? &*it : nullptr;
}

bool BitmapFont::has(char32_t code_point) const noexcept
{
    if (code_point < kDecodedBelow && data_->decoded_present[code_point])
        return true;
    return entry(code_point) != nullptr;
}

bool BitmapFont::find(char32_t code_point, Glyph& out) const noexcept
{
    if (code_point < kDecodedBelow && data_->decoded_present[code_point]) {
        out = data_->decoded[code_point];
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
    const int digits_per_row = int(e.digits) / kGlyphHeight;  // 2 or 4
    out.width = digits_per_row * 4;
    const char* hex = data_->text.data() + e.offset;
    for (int y = 0; y < kGlyphHeight; ++y) {
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
