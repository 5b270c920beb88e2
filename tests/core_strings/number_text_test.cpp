// Number text without a running program: HEX$ and STR$ texts, VAL's parser,
// plain real text and decimal rounding.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "runtime/core/number_text.h"

namespace {

using rt::parse_number;
namespace tc = rt::type_code;

TEST(HexText, UpperCaseDigitsWithoutLeadingZeros)
{
    EXPECT_EQ(rt::hex_text(0), "0");
    EXPECT_EQ(rt::hex_text(255), "FF");
    EXPECT_EQ(rt::hex_text(4096), "1000");
    EXPECT_EQ(rt::hex_text(0x0ABCDEF1), "ABCDEF1");
}

TEST(HexText, NegativeValuesAreTwosComplement)
{
    EXPECT_EQ(rt::hex_text(-1), "FFFFFFFF");
    EXPECT_EQ(rt::hex_text(-32768), "FFFF8000");
    EXPECT_EQ(rt::hex_text(INT32_MIN), "80000000");
}

TEST(SignedDecimalText, SpaceBeforeValuesNotNegative)
{
    EXPECT_EQ(rt::signed_decimal_text(5), " 5");
    EXPECT_EQ(rt::signed_decimal_text(0), " 0");
    EXPECT_EQ(rt::signed_decimal_text(-32768), "-32768");
    std::string seven = rt::signed_decimal_text(7);
    EXPECT_EQ(seven.substr(1), "7");  // the monitors strip the space with RIGHT$(s, LEN(s) - 1)
}

TEST(ParseNumber, RadixPrefixes)
{
    EXPECT_EQ(parse_number("&H1F00").value, 7936);
    EXPECT_EQ(parse_number("&hff").value, 255);
    EXPECT_EQ(parse_number("&HFFFF").value, 65535);  // never negative
    EXPECT_EQ(parse_number("&H12G4").value, 18);
    EXPECT_EQ(parse_number("&O17").value, 15);
    EXPECT_EQ(parse_number("&o78").value, 7);
    EXPECT_EQ(parse_number("  &H10").value, 16);
    EXPECT_EQ(parse_number("&H").value, 0);
    EXPECT_EQ(parse_number("&").value, 0);
    EXPECT_EQ(parse_number("&HG").value, 0);
    EXPECT_EQ(parse_number("&X12").value, 0);
    EXPECT_EQ(parse_number("&HFFFFFFFFFF").value, 1099511627775.0);  // no width limit
}

TEST(ParseNumber, RadixValueBeyondDoubleIsNotRepresentable)
{
    EXPECT_FALSE(parse_number("&H" + std::string(300, 'F')).representable);
    auto zeros = parse_number("&H" + std::string(10000, '0') + "1");
    EXPECT_TRUE(zeros.representable);
    EXPECT_EQ(zeros.value, 1);
}

TEST(ParseNumber, StartOfText)
{
    EXPECT_EQ(parse_number("").value, 0);
    EXPECT_EQ(parse_number("   ").value, 0);
    EXPECT_EQ(parse_number("  12").value, 12);
    EXPECT_EQ(parse_number("12 34").value, 12);  // cut at the first space
    EXPECT_EQ(parse_number("12A").value, 12);
    EXPECT_EQ(parse_number("A1").value, 0);
    EXPECT_EQ(parse_number("-.5").value, -0.5);
    EXPECT_EQ(parse_number(".5").value, 0.5);
    EXPECT_EQ(parse_number("+5").value, 5);
    EXPECT_EQ(parse_number("- 5").value, 0);
    EXPECT_EQ(parse_number("+").value, 0);
    EXPECT_EQ(parse_number("-").value, 0);
    EXPECT_EQ(parse_number("-.").value, 0);
    EXPECT_EQ(parse_number(".").value, 0);
    EXPECT_EQ(parse_number(".A").value, 0);
    EXPECT_EQ(parse_number("\x81").value, 0);
    EXPECT_EQ(parse_number(std::string("7\0" "8", 3)).value, 7);
}

TEST(ParseNumber, ExponentsNeedDigits)
{
    EXPECT_EQ(parse_number("1E3").value, 1000);
    EXPECT_EQ(parse_number("1e3").type, tc::kSingle);
    EXPECT_EQ(parse_number("1D3").type, tc::kDouble);
    EXPECT_EQ(parse_number("25E-1").value, 2.5);
    EXPECT_EQ(parse_number("1E+2").value, 100);
    EXPECT_EQ(parse_number("1E").value, 1);
    EXPECT_EQ(parse_number("1E+").value, 1);
    EXPECT_EQ(parse_number("1E-").value, 1);
    EXPECT_EQ(parse_number("1E 5").value, 1);
    EXPECT_EQ(parse_number("1E99999999999999999999").representable, false);
    EXPECT_EQ(parse_number("1E-99999999999999999999").value, 0);
}

TEST(ParseNumber, TypeFollowsTheText)
{
    EXPECT_EQ(parse_number("12").type, tc::kI16);
    EXPECT_EQ(parse_number("12.0").type, tc::kI16);
    EXPECT_EQ(parse_number("-32768").type, tc::kI16);
    EXPECT_EQ(parse_number("40000").type, tc::kI32);
    EXPECT_EQ(parse_number("-2147483648").type, tc::kI32);
    EXPECT_EQ(parse_number("2147483648").type, tc::kDouble);  // 10 significant digits
    EXPECT_EQ(parse_number("1.5").type, tc::kSingle);
    EXPECT_EQ(parse_number("1.234567").type, tc::kSingle);
    EXPECT_EQ(parse_number("1.2345678").type, tc::kDouble);
    EXPECT_EQ(parse_number("0.001").type, tc::kSingle);  // leading zeros do not count
}

TEST(ParseNumber, SingleResultsCarrySingleRounding)
{
    EXPECT_EQ(parse_number("0.1").value, double(0.1f));
    EXPECT_EQ(parse_number("1E-1").value, double(0.1f));
    EXPECT_EQ(parse_number("0.1#").value, 0.1);
    EXPECT_EQ(parse_number("0.1D0").value, 0.1);
    EXPECT_EQ(parse_number("0.12345678").value, 0.12345678);
    EXPECT_EQ(parse_number("16777217!").value, 16777216.0);
}

TEST(ParseNumber, Suffixes)
{
    EXPECT_EQ(parse_number("12.5%").value, 12);  // the FPU's ties-to-even rounding
    EXPECT_EQ(parse_number("13.5%").value, 14);
    EXPECT_EQ(parse_number("12%").type, tc::kI16);
    EXPECT_FALSE(parse_number("40000%").representable);
    EXPECT_FALSE(parse_number("-32768.6%").representable);
    EXPECT_EQ(parse_number("40000&").value, 40000);
    EXPECT_FALSE(parse_number("2147483648&").representable);
    EXPECT_EQ(parse_number("3!").type, tc::kSingle);
    EXPECT_EQ(parse_number("3#").type, tc::kDouble);
    EXPECT_EQ(parse_number("1E3#").type, tc::kDouble);  // the suffix decides
}

TEST(ParseNumber, OverflowAndUnderflow)
{
    EXPECT_FALSE(parse_number("1E39").representable);   // beyond single
    EXPECT_TRUE(parse_number("1D39").representable);
    EXPECT_FALSE(parse_number("1D309").representable);
    EXPECT_FALSE(parse_number("-1D309").representable);
    EXPECT_EQ(parse_number("1E-50").value, 0);
    EXPECT_EQ(parse_number("1D-400").value, 0);
    EXPECT_FALSE(parse_number(std::string(10000, '1')).representable);
    auto zeros = parse_number(std::string(10000, '0'));
    EXPECT_TRUE(zeros.representable);
    EXPECT_EQ(zeros.value, 0);
    EXPECT_EQ(parse_number("." + std::string(10000, '0') + "1").value, 0);
    EXPECT_EQ(parse_number(std::string(300, '1') + "D-299").value, parse_number("1.1111111111111111111111111111").value);
}

TEST(ParseNumber, OnlyTwentyEightSignificantDigitsCount)
{
    // 9007199254740993 lies halfway between two doubles; a 29th digit of 1
    // would round it up, but only 28 digits are used, so ties-to-even wins.
    EXPECT_EQ(parse_number("9007199254740993.0000000000001").value, 9007199254740992.0);
    EXPECT_EQ(parse_number("9007199254740993.000000000001").value, 9007199254740994.0);
    // Digits past the 28th still count for the magnitude.
    EXPECT_EQ(parse_number("1" + std::string(40, '0') + "#").value, 1e40);
}

TEST(ParseNumber, NeverReadsPastTheView)
{
    std::string backing = "1E5&H12345";
    EXPECT_EQ(parse_number(std::string_view(backing.data(), 2)).value, 1);
    EXPECT_EQ(parse_number(std::string_view(backing.data() + 3, 3)).value, 1);  // "&H1"
    EXPECT_EQ(parse_number(std::string_view(backing.data() + 3, 2)).value, 0);  // "&H"
    EXPECT_EQ(parse_number(std::string_view(backing.data(), 1)).value, 1);
}

TEST(RealText, PlainDecimalForm)
{
    EXPECT_EQ(rt::real_text(1.5), " 1.5");
    EXPECT_EQ(rt::real_text(-0.25), "-.25");
    EXPECT_EQ(rt::real_text(0), " 0");
    EXPECT_EQ(rt::real_text(123456), " 123456");
    EXPECT_EQ(rt::real_text(0.1), " .1");
    EXPECT_EQ(rt::real_text(double(0.1f)), " .1");
    EXPECT_EQ(rt::real_text(0.0123), " .0123");
    EXPECT_EQ(rt::real_text(1234567890123.0), " 1234567890123");
}

TEST(RealText, ExponentFormForLargeAndSmallValues)
{
    EXPECT_EQ(rt::real_text(double(1e20f)), " 1E+20");
    EXPECT_EQ(rt::real_text(1e20), " 1D+20");
    EXPECT_EQ(rt::real_text(12345678.0), " 1.2345678E+07");
    EXPECT_EQ(rt::real_text(-1e300), "-1D+300");
    EXPECT_EQ(rt::real_text(0.001), " 1D-03");
    EXPECT_EQ(rt::real_text(double(0.001f)), " 1E-03");
}

TEST(RealText, SpecialReals)
{
    EXPECT_EQ(rt::real_text(std::nan("")), "nan");
    EXPECT_EQ(rt::real_text(INFINITY), "inf");
    EXPECT_EQ(rt::real_text(-INFINITY), "-inf");
}

TEST(DecimalRounding, HalfAwayFromZeroWithCarry)
{
    auto r = rt::round_to_fraction(rt::shortest_digits(2.5), 0);
    EXPECT_EQ(r.digits, "3");
    EXPECT_EQ(r.point, 1);
    r = rt::round_to_fraction(rt::shortest_digits(0.999), 2);
    EXPECT_EQ(r.digits, "1");
    EXPECT_EQ(r.point, 1);
    r = rt::round_to_fraction(rt::shortest_digits(9.995), 2);
    EXPECT_EQ(r.digits, "1");
    EXPECT_EQ(r.point, 2);
    r = rt::round_to_fraction(rt::shortest_digits(0.004), 2);
    EXPECT_TRUE(r.digits.empty());
    r = rt::round_to_fraction(rt::shortest_digits(0.005), 2);
    EXPECT_EQ(r.digits, "1");
    EXPECT_EQ(r.point, -1);
    r = rt::round_to_significant(rt::shortest_digits(123456), 3);
    EXPECT_EQ(r.digits, "123");
    EXPECT_EQ(r.point, 6);
}

}  // namespace
