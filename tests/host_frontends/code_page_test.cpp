#include <gtest/gtest.h>

#include "host/code_page.h"

namespace {

using host::ShiftJisCodec;

TEST(CodePage, AsciiKeepsBackslashAndTilde)
{
    ShiftJisCodec codec;
    EXPECT_EQ(codec.to_utf8("C:\\DATA~1"), "C:\\DATA~1");
    EXPECT_EQ(codec.from_utf8("C:\\DATA~1"), "C:\\DATA~1");
}

TEST(CodePage, DoubleByteCharactersRoundTrip)
{
    ShiftJisCodec codec;
    const std::string sjis = "\x82\x60\x82\x61\x8A\xBF";  // ＡＢ漢
    EXPECT_EQ(codec.to_utf8(sjis), "ＡＢ漢");
    EXPECT_EQ(codec.from_utf8("ＡＢ漢"), sjis);
    EXPECT_EQ(codec.to_utf32(sjis), U"ＡＢ漢");
    // Code page 932 forms: full-width tilde and the circled digits of its extension rows.
    EXPECT_EQ(codec.decode_pair(0x81, 0x60), U'\uFF5E');
    EXPECT_EQ(codec.decode_pair(0x87, 0x40), U'\u2460');
    EXPECT_EQ(codec.encode(U'\u2460'), "\x87\x40");
}

TEST(CodePage, HalfWidthKatakanaIsOneByte)
{
    ShiftJisCodec codec;
    EXPECT_EQ(codec.to_utf8("\xB1\xDD"), "ｱﾝ");
    EXPECT_EQ(codec.from_utf8("ｱﾝ"), "\xB1\xDD");
    const host::DecodedCharacter c = codec.decode("\xB1");
    EXPECT_EQ(c.code_point, U'\uFF71');
    EXPECT_EQ(c.length, 1);
}

TEST(CodePage, InvalidBytesBecomeReplacementWithoutEatingTheNext)
{
    ShiftJisCodec codec;
    EXPECT_EQ(codec.to_utf32("A\x82"), U"A\uFFFD");        // lead byte at the end
    EXPECT_EQ(codec.to_utf32("\x82\x20Z"), U"\uFFFD Z");   // lead byte before a byte that is no trail
    EXPECT_EQ(codec.to_utf32("\x80\xA0\xFD\xFF"), U"\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(codec.decode_pair(0x20, 0x40), host::kReplacementCharacter);
}

TEST(CodePage, UnmappableUnicodeBecomesQuestionMark)
{
    ShiftJisCodec codec;
    EXPECT_EQ(codec.from_utf8("a\xF0\x9F\x98\x80" "b"), "a?b");  // an emoji has no Shift-JIS form
    EXPECT_EQ(codec.from_utf8("a\xC0\xAF" "b"), "a??b");         // overlong UTF-8: each byte is bad
    EXPECT_EQ(codec.from_utf8("a\xE3\x81"), "a??");              // cut sequence
    EXPECT_EQ(host::sjis_to_utf8("\x82\xA0"), "あ");
    EXPECT_EQ(host::utf8_to_sjis("あ"), "\x82\xA0");
}

TEST(CodePage, LeadByteRanges)
{
    EXPECT_FALSE(host::is_lead_byte(0x80));
    EXPECT_TRUE(host::is_lead_byte(0x81));
    EXPECT_TRUE(host::is_lead_byte(0x9F));
    EXPECT_FALSE(host::is_lead_byte(0xA0));
    EXPECT_FALSE(host::is_lead_byte(0xDF));
    EXPECT_TRUE(host::is_lead_byte(0xE0));
    EXPECT_TRUE(host::is_lead_byte(0xFC));
    EXPECT_FALSE(host::is_lead_byte(0xFD));
    EXPECT_FALSE(host::is_trail_byte(0x7F));
    EXPECT_TRUE(host::is_trail_byte(0x40));
}

}  // namespace
