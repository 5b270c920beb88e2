// The fixed-pitch bitmap font of the pixel front ends: GNU Unifont in its hex
// form (one line per glyph, "XXXX:" followed by 32 hex digits for an 8x16
// glyph or 64 for a 16x16 glyph).
//
// Loading maps the file and decodes the glyphs of the first 256 code points
// (drawn all the time) from its sorted start. The index of all its lines is
// built when a glyph beyond them is first looked up, and a glyph's bits are
// decoded when it is looked up, so start-up reads next to nothing of the file.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace host {

// Text cell of the console: 8x16 glyphs with one blank pixel row above and below.
inline constexpr int kFontCellWidth = 8;
inline constexpr int kFontCellHeight = 18;
inline constexpr int kGlyphHeight = 16;
inline constexpr int kGlyphTop = (kFontCellHeight - kGlyphHeight) / 2;

struct Glyph {
    int width = 8;                          // 8 or 16
    std::array<std::uint16_t, kGlyphHeight> rows{};  // bit 15 is the leftmost pixel

    bool pixel(int x, int y) const noexcept { return (rows[std::size_t(y)] >> (15 - x)) & 1U; }
};

// The glyph drawn for a character the font does not have: a box outline.
Glyph missing_glyph_box(int width) noexcept;

class BitmapFont {
public:
    static constexpr const char* kDefaultFile = "/usr/share/unifont/unifont_jp.hex";

    // The font file: $QK_FONT_FILE when set, otherwise default_file.
    static std::string configured_path();
    // Throws std::runtime_error when the file cannot be read or holds no glyph.
    static BitmapFont load(const std::string& path);
    static BitmapFont load_configured() { return load(configured_path()); }
    // Builds a font from hex text (lines "XXXX:HEX..."); malformed lines are skipped.
    static BitmapFont from_hex_text(std::string text);

    // Lookups may build the index: one thread at a time may look up glyphs
    // of fonts that share their data (copies), the same as of one font.
    bool has(char32_t code_point) const noexcept;
    // The glyph of a character; false when the font has none.
    bool find(char32_t code_point, Glyph& out) const noexcept;
    // The glyph, or a box `missing_width` pixels wide when the font has none.
    Glyph glyph_or_box(char32_t code_point, int missing_width) const noexcept;
    std::size_t glyph_count() const noexcept;

private:
    struct Entry {
        char32_t code_point;
        std::uint32_t offset;  // of the first hex digit after ':'
        std::uint32_t digits;  // 32 or 64
    };
    struct Data;
    explicit BitmapFont(std::shared_ptr<Data> data);
    const Entry* entry(char32_t code_point) const noexcept;
    void decode(const Entry& e, Glyph& out) const noexcept;

    static constexpr char32_t kDecodedBelow = 0x100;
    // The text, the index and the decoded glyphs; copies of a font share them.
    std::shared_ptr<Data> data_;
};

}  // namespace host
