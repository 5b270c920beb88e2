// Upper case, character counts and date/time texts over plain bytes.
#include <gtest/gtest.h>

#include <string>

#include "runtime/core/shift_jis.h"
#include "runtime/core/string_functions.h"

namespace {

using namespace std::string_literals;

TEST(ShiftJis, LeadByteRanges)
{
    EXPECT_FALSE(rt::sjis::is_lead_byte(std::uint8_t{0x80}));
    EXPECT_TRUE(rt::sjis::is_lead_byte(std::uint8_t{0x81}));
    EXPECT_TRUE(rt::sjis::is_lead_byte(std::uint8_t{0x9F}));
    EXPECT_FALSE(rt::sjis::is_lead_byte(std::uint8_t{0xA0}));  // half-width katakana
    EXPECT_FALSE(rt::sjis::is_lead_byte(std::uint8_t{0xDF}));
    EXPECT_TRUE(rt::sjis::is_lead_byte(std::uint8_t{0xE0}));
    EXPECT_TRUE(rt::sjis::is_lead_byte(std::uint8_t{0xFC}));
    EXPECT_FALSE(rt::sjis::is_lead_byte(std::uint8_t{0xFD}));
    EXPECT_FALSE(rt::sjis::is_lead_byte('a'));
}

TEST(UpperCase, AsciiLettersOnly)
{
    EXPECT_EQ(rt::upper_case("abcXYZ019{}`"), "ABCXYZ019{}`");
    EXPECT_EQ(rt::upper_case(""), "");
    EXPECT_EQ(rt::upper_case("a\0b"s), "A\0B"s);
    EXPECT_EQ(rt::upper_case("\xB1z"), "\xB1Z");  // half-width katakana is single-byte
}

TEST(UpperCase, SecondByteOfDoubleByteCharacterStays)
{
    EXPECT_EQ(rt::upper_case("\x82" "a" "b"), "\x82" "a" "B");
    EXPECT_EQ(rt::upper_case("x\xE0z"), "X\xE0z");
    EXPECT_EQ(rt::upper_case("ab\x81"), "AB\x81");  // a lead byte at the end stands alone
    EXPECT_EQ(rt::upper_case("\x81\x81" "a"), "\x81\x81" "A");
}

TEST(CharacterCount, DoubleAndSingleByteCharacters)
{
    // Two double-byte characters and three single-byte characters.
    auto counts = rt::count_characters("\x82\xA0" "a" "\x88\x9F" "bc");
    EXPECT_EQ(counts.total(), 5);
    EXPECT_EQ(counts.single_byte, 3);
    EXPECT_EQ(counts.double_byte, 2);
    EXPECT_EQ(rt::count_characters("").total(), 0);
    auto trailing = rt::count_characters("ab\x81");
    EXPECT_EQ(trailing.single_byte, 3);
    EXPECT_EQ(trailing.double_byte, 0);
    auto leads = rt::count_characters("\x81\x81\x81");
    EXPECT_EQ(leads.double_byte, 1);
    EXPECT_EQ(leads.single_byte, 1);
}

TEST(CharacterCount, LengthIsSinglePlusTwiceDouble)
{
    const std::string samples[] = {"\x81", "\x81\x40\x81", "a\xE0\xFC\xFC\xFC", "\x9F\x9F\x9F\x9F", "\xFD\xFE\x80"};
    for (const std::string& s : samples) {
        auto c = rt::count_characters(s);
        EXPECT_EQ(static_cast<std::size_t>(c.single_byte + 2 * c.double_byte), s.size()) << s;
    }
}

const rt::CalendarTime kAprilDay{2003, 4, 26, 9, 5, 3};

TEST(DateText, PatternsAreReplacedLeftToRight)
{
    EXPECT_EQ(rt::date_text("", kAprilDay), "03/04/26");
    EXPECT_EQ(rt::date_text("yyyy/mm/dd", kAprilDay), "2003/04/26");
    EXPECT_EQ(rt::date_text("yy-mm", kAprilDay), "03-04");
    EXPECT_EQ(rt::date_text("Y/M/D", kAprilDay), "Y/M/D");
    EXPECT_EQ(rt::date_text("YYYY y m d", kAprilDay), "YYYY y m d");
    EXPECT_EQ(rt::date_text("yyy", kAprilDay), "03y");
    EXPECT_EQ(rt::date_text("yyyyy", kAprilDay), "2003y");
    EXPECT_EQ(rt::date_text("mmmm", kAprilDay), "0404");
    EXPECT_EQ(rt::date_text("ddd", kAprilDay), "26d");
}

TEST(DateText, DoubleByteCharactersAreSkippedWhole)
{
    // 0x82 'y' is one character, so only the second y remains and stays.
    EXPECT_EQ(rt::date_text("\x82yy", kAprilDay), "\x82yy");
    // "年" (0x94 0x4E) after the year.
    EXPECT_EQ(rt::date_text("yyyy\x94\x4Emm", kAprilDay), "2003\x94\x4E" "04");
    EXPECT_EQ(rt::date_text("dd\x81", kAprilDay), "26\x81");
}

TEST(DateText, ResultKeepsTheFormatLength)
{
    const char* formats[] = {"yyyy", "yy/mm/dd", "yyyyyyy", "d", "\x81yyyy", "mmdd\x82"};
    rt::CalendarTime far_year{12345, 12, 31, 0, 0, 0};
    for (const char* f : formats) {
        EXPECT_EQ(rt::date_text(f, kAprilDay).size(), std::string_view(f).size()) << f;
        EXPECT_EQ(rt::date_text(f, far_year).size(), std::string_view(f).size()) << f;
    }
}

TEST(TimeText, TwoDigitFields)
{
    EXPECT_EQ(rt::time_text(kAprilDay), "09:05:03");
    EXPECT_EQ(rt::time_text({2000, 1, 1, 23, 59, 59}), "23:59:59");
}

TEST(LocalCalendarTime, FieldsInRange)
{
    rt::CalendarTime now = rt::local_calendar_time();
    EXPECT_GE(now.year, 2020);
    EXPECT_GE(now.month, 1);
    EXPECT_LE(now.month, 12);
    EXPECT_GE(now.day, 1);
    EXPECT_LE(now.day, 31);
    EXPECT_LE(now.hour, 23);
    EXPECT_LE(now.minute, 59);
    EXPECT_LE(now.second, 60);
}

}  // namespace
