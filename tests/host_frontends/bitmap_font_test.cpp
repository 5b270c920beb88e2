#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "tests/host_frontends/font_for_tests.h"
#include "host/bitmap_font.h"

namespace {

using host::BitmapFont;
using host::Glyph;

const BitmapFont& unifont()
{
    return test_font();
}

TEST(BitmapFont, LetterAHasItsKnownPixels)
{
    Glyph a;
    ASSERT_TRUE(unifont().find(U'A', a));
    EXPECT_EQ(a.width, 8);
    // Rows 4 and 9 of "A": 0x18 (apex) and 0x7E (crossbar).
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(a.pixel(x, 4), x == 3 || x == 4) << x;
        EXPECT_EQ(a.pixel(x, 9), x >= 1 && x <= 6) << x;
        EXPECT_FALSE(a.pixel(x, 0));
    }
}

TEST(BitmapFont, KanjiIsSixteenWide)
{
    Glyph one;
    ASSERT_TRUE(unifont().find(U'\u4E00', one));  // 一
    EXPECT_EQ(one.width, 16);
    EXPECT_FALSE(one.pixel(0, 7));
    for (int x = 1; x < 15; ++x)
        EXPECT_TRUE(one.pixel(x, 7)) << x;
}

TEST(BitmapFont, MissingGlyphDrawsABox)
{
    Glyph g;
    EXPECT_FALSE(unifont().find(U'\U0010FFFD', g));
    const Glyph box = unifont().glyph_or_box(U'\U0010FFFD', 16);
    EXPECT_EQ(box.width, 16);
    EXPECT_TRUE(box.pixel(1, 1));
    EXPECT_TRUE(box.pixel(14, 14));
    EXPECT_TRUE(box.pixel(1, 8));
    EXPECT_FALSE(box.pixel(7, 8));   // hollow
    EXPECT_FALSE(box.pixel(15, 8));  // stays inside its cells
}

TEST(BitmapFont, HexTextInAnyOrderAndWithBadLines)
{
    const BitmapFont font = BitmapFont::from_hex_text(
        "0042:00000000000000000000000000000001\n"
        "garbage\n"
        "0041:FF000000000000000000000000000000\n"
        "0043:123\n"
        "4E00:8000000000000000000000000000000000000000000000000000000000000000");
    EXPECT_EQ(font.glyph_count(), 3U);
    Glyph g;
    ASSERT_TRUE(font.find(U'A', g));
    EXPECT_TRUE(g.pixel(0, 0) && g.pixel(7, 0));
    ASSERT_TRUE(font.find(U'B', g));
    EXPECT_TRUE(g.pixel(7, 15));
    EXPECT_FALSE(font.has(U'C'));
    ASSERT_TRUE(font.find(U'\u4E00', g));
    EXPECT_EQ(g.width, 16);
    EXPECT_TRUE(g.pixel(0, 0));
}

TEST(BitmapFont, FileFromEnvironment)
{
    const auto path = std::filesystem::temp_directory_path() / "qk_font_test.hex";
    std::ofstream(path) << "0041:FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF\n";
    ::setenv("QK_FONT_FILE", path.c_str(), 1);
    EXPECT_EQ(BitmapFont::configured_path(), path.string());
    const BitmapFont font = BitmapFont::load_configured();
    Glyph g;
    ASSERT_TRUE(font.find(U'A', g));
    EXPECT_TRUE(g.pixel(4, 15));
    ::unsetenv("QK_FONT_FILE");
    EXPECT_EQ(BitmapFont::configured_path(), BitmapFont::kDefaultFile);
    std::filesystem::remove(path);
    EXPECT_THROW(BitmapFont::load(path.string()), std::runtime_error);
}

// A mapped file: a glyph below 0x100 after the sorted start (found through the
// full index), the first of two lines for one code point, a font with only
// wide glyphs, a copy that outlives the font it came from, and files without
// any glyph refused.
TEST(BitmapFont, MappedFileInAnyOrder)
{
    const auto path = std::filesystem::temp_directory_path() / "qk_font_order_test.hex";
    auto write = [&](const char* text) { std::ofstream(path, std::ios::binary | std::ios::trunc) << text; };
    write("0041:FF000000000000000000000000000000\r\n"
          "0042:0000000000000000000000000000FF00\r\n"
          "0041:00000000000000000000000000000000\r\n"
          "4E00:8000000000000000000000000000000000000000000000000000000000000000\r\n"
          "0030:00FF0000000000000000000000000000\r\n");
    std::optional<BitmapFont> copy;
    {
        const BitmapFont font = BitmapFont::load(path.string());
        copy = font;
    }
    Glyph g;
    ASSERT_TRUE(copy->find(U'0', g));
    EXPECT_TRUE(g.pixel(0, 1) && !g.pixel(0, 0));
    ASSERT_TRUE(copy->find(U'A', g));
    EXPECT_TRUE(g.pixel(0, 0));
    ASSERT_TRUE(copy->find(U'B', g));
    EXPECT_TRUE(g.pixel(0, 14));
    EXPECT_EQ(copy->glyph_count(), 5U);
    write("4E00:8000000000000000000000000000000000000000000000000000000000000000\n");
    const BitmapFont wide = BitmapFont::load(path.string());
    EXPECT_FALSE(wide.has(U'A'));
    ASSERT_TRUE(wide.find(U'\u4E00', g));
    EXPECT_EQ(g.width, 16);
    write("no glyph here\n0041:12\n");
    EXPECT_THROW(BitmapFont::load(path.string()), std::runtime_error);
    write("");
    EXPECT_THROW(BitmapFont::load(path.string()), std::runtime_error);
    std::filesystem::remove(path);
}

}  // namespace
