// The picture formatter without a running program: fields, literals,
// overflow, errors, and the conventional picture characters.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "runtime/core/print_using.h"

namespace {

// Formats one value from the picture's start; fails the test on an error.
std::string fmt(std::string_view picture, double value)
{
    rt::UsingItem item = rt::format_using_item(picture, 0, value);
    EXPECT_EQ(item.error, 0) << "picture \"" << picture << "\" value " << value;
    return item.text;
}

std::uint16_t error_of(std::string_view picture, double value)
{
    return rt::format_using_item(picture, 0, value).error;
}

TEST(PictureHashField, RightAlignedWithSignInTheField)
{
    EXPECT_EQ(fmt("#####", 123), "  123");
    EXPECT_EQ(fmt("#####", -123), " -123");
    EXPECT_EQ(fmt("#####", 0), "    0");
    EXPECT_EQ(fmt("###", 999), "999");
    EXPECT_EQ(fmt("###", -99), "-99");
    EXPECT_EQ(fmt("######", 32767), " 32767");
    EXPECT_EQ(fmt("####################", 1e19), "10000000000000000000");
}

TEST(PictureHashField, TooWideValuesPrintPercentAndPlainText)
{
    EXPECT_EQ(fmt("#####", 123456), "% 123456");
    EXPECT_EQ(fmt("#####", -123456), "%-123456");
    EXPECT_EQ(fmt("###", -100), "%-100");
    EXPECT_EQ(fmt("#.#", 123.45), "% 123.45");
    EXPECT_EQ(fmt("###", 1e300), "% 1D+300");
}

TEST(PictureHashField, FractionsRoundHalfAwayFromZero)
{
    EXPECT_EQ(fmt("###", 2.5), "  3");
    EXPECT_EQ(fmt("###", -2.5), " -3");
    EXPECT_EQ(fmt("###", 2.4), "  2");
    EXPECT_EQ(fmt("###", -0.4), "  0");
    EXPECT_EQ(fmt("###", 999.5), "% 999.5");
}

TEST(PictureLiterals, TextAroundFields)
{
    EXPECT_EQ(fmt("Val: ###", 5), "Val:   5");
    EXPECT_EQ(fmt("### kg", 5), "  5 kg");
    EXPECT_EQ(fmt("_###", 5), "# 5");
    EXPECT_EQ(fmt("_&##", 5), "& 5");
    EXPECT_EQ(fmt("##_", 5), " 5_");
    EXPECT_EQ(fmt("ab__##", 5), "ab_ 5");
    // Second byte 0x40 ("@") of a double-byte character is not a string field.
    EXPECT_EQ(fmt("\x81\x40##", 7), "\x81\x40 7");
    EXPECT_EQ(fmt("_\x81\x40##", 7), "\x81\x40 7");
}

TEST(PicturePosition, ItemsWalkTheFieldsAndWrapAround)
{
    std::string_view picture = "## and ##";
    rt::UsingItem first = rt::format_using_item(picture, 0, 1);
    EXPECT_EQ(first.text, " 1");
    EXPECT_EQ(first.next_position, 2u);
    rt::UsingItem second = rt::format_using_item(picture, first.next_position, 2);
    EXPECT_EQ(second.text, " and  2");
    EXPECT_EQ(second.next_position, picture.size());
    rt::UsingItem third = rt::format_using_item(picture, second.next_position, 3);
    EXPECT_EQ(third.text, " 3");
}

TEST(PictureErrors, NoFieldStringFieldAndSpecialReals)
{
    EXPECT_EQ(error_of("", 1), 5);
    EXPECT_EQ(error_of("abc", 1), 5);
    EXPECT_EQ(error_of("_#", 1), 5);
    EXPECT_EQ(error_of("$", 1), 5);
    EXPECT_EQ(error_of("*#", 1), 0);  // a lone * is literal text
    EXPECT_EQ(error_of("&", 1), 13);
    EXPECT_EQ(error_of("Name: !", 1), 13);
    EXPECT_EQ(error_of("@", 1), 13);
    EXPECT_EQ(error_of("###", std::nan("")), 6);
    EXPECT_EQ(error_of("###", INFINITY), 6);
    // The second field of "## &" is a string field.
    rt::UsingItem first = rt::format_using_item("## &", 0, 1);
    EXPECT_EQ(first.error, 0);
    EXPECT_EQ(rt::format_using_item("## &", first.next_position, 2).error, 13);
}

TEST(PictureDecimalPoint, FractionDigits)
{
    EXPECT_EQ(fmt("##.##", 3.14159), " 3.14");
    EXPECT_EQ(fmt("##.##", -1.5), "-1.50");
    EXPECT_EQ(fmt("##.##", 2.675), " 2.68");
    EXPECT_EQ(fmt("#.##", 0.5), "0.50");
    EXPECT_EQ(fmt("#.##", -0.5), "-.50");
    EXPECT_EQ(fmt(".##", 0.5), ".50");
    EXPECT_EQ(fmt("##.", 5), " 5.");
    EXPECT_EQ(fmt("##.##", 9.999), "10.00");
    EXPECT_EQ(fmt("#.##", 9.999), "% 9.999");
}

TEST(PictureSigns, LeadingPlusAndTrailingSigns)
{
    EXPECT_EQ(fmt("+###", 5), "  +5");
    EXPECT_EQ(fmt("+###", -5), "  -5");
    EXPECT_EQ(fmt("###+", 5), "  5+");
    EXPECT_EQ(fmt("###+", -5), "  5-");
    EXPECT_EQ(fmt("###-", 5), "  5 ");
    EXPECT_EQ(fmt("###-", -5), "  5-");
    EXPECT_EQ(fmt("+.##", 0.25), "+.25");
}

TEST(PictureFillAndCurrency, AsterisksAndFloatingSign)
{
    EXPECT_EQ(fmt("**###", 12), "***12");
    EXPECT_EQ(fmt("**###", -12), "**-12");
    EXPECT_EQ(fmt("$$###", 12), "  $12");
    EXPECT_EQ(fmt("$$###", -12), " -$12");
    EXPECT_EQ(fmt("**$##", 12), "**$12");
    EXPECT_EQ(fmt("$$#.##", 1.5), " $1.50");
}

TEST(PictureThousands, CommaGroups)
{
    EXPECT_EQ(fmt("#,###", 1234), "1,234");
    EXPECT_EQ(fmt("#,###,###", 1234567), "1,234,567");
    EXPECT_EQ(fmt("##,###.##", 1234.5), " 1,234.50");
    EXPECT_EQ(fmt("###, ###", 5), "  5");  // a comma not followed by the field is text
    EXPECT_EQ(rt::format_using_item("###, ###", 3, 6).text, ",   6");
    EXPECT_EQ(fmt("##,###.##", 1234567.891), "% 1234567.891");
}

TEST(PictureExponent, ScaledMantissaAndExponent)
{
    EXPECT_EQ(fmt("##.##^^^^", 1234.5), " 1.23E+03");
    EXPECT_EQ(fmt("##.##^^^^", -1234.5), "-1.23E+03");
    EXPECT_EQ(fmt("##.##^^^^", 0), " 0.00E+00");
    EXPECT_EQ(fmt("##.##^^^^", 0.000123), " 1.23E-04");
    EXPECT_EQ(fmt("###.#^^^^", 1234.5), " 12.3E+02");
    EXPECT_EQ(fmt(".##^^^^", 1234.5), ".12E+04");
    EXPECT_EQ(fmt("##.##^^^^^", 1e300), " 1.00E+300");
    EXPECT_EQ(fmt("##.##^^^^", 1e300), "% 1D+300");
    EXPECT_EQ(fmt("+#.#^^^^", 99.99), "+1.0E+02");
}

}  // namespace
