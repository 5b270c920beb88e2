// Conversions between numbers and text: HEX$, STR$ and VAL, with the pure
// text functions they are built on (usable without a running program).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/core/basic_string.h"
#include "runtime/core/string_descriptor.h"

namespace rt {

// Upper-case hexadecimal digits of the value taken as 32 bits two's
// complement, without leading zeros (at least one digit): -1 gives FFFFFFFF.
std::string hex_text(std::int32_t value);

// Decimal text preceded by one space when the value is 0 or more, by "-" otherwise.
std::string signed_decimal_text(std::int64_t value);

// Plain decimal text of a real, with the leading space of a value that is not
// negative: " 1.5", "-.25", " 1.5E+20" (single precision), " 1.5D+300" (double).
// A value that a single real holds exactly is written with single precision's
// digits, any other with the shortest digits that read back as the same double.
// Special reals give "nan", "inf" and "-inf".
std::string real_text(double value);

// The decimal digits of a finite real's magnitude: magnitude = 0.digits x 10^point,
// `digits` without leading or trailing zeros ("" for zero).
struct DecimalDigits {
    std::string digits;
    int point = 0;
};

// The shortest digits that read back as `magnitude` (>= 0, finite); a value
// that a single real holds exactly gets the shortest digits of that single.
DecimalDigits shortest_digits(double magnitude);
// Rounds half away from zero so that `fraction` digits follow the decimal point.
DecimalDigits round_to_fraction(DecimalDigits number, long long fraction);
// Rounds half away from zero to `count` significant digits.
DecimalDigits round_to_significant(DecimalDigits number, long long count);

// The number a text starts with, as VAL reads it.
struct ParsedNumber {
    double value = 0;                       // already rounded to its type
    std::uint8_t type = type_code::kI16;     // type_code::I16, I32, Single or Double
    bool representable = true;              // false: the number leaves its type's range
};

// Reads the number at the start of `text` (&H/&O prefixes, leading spaces,
// decimal text cut at its first space, exponents E/D, suffixes % & ! #, at most
// 28 significant digits). Never reads past the end of `text`.
ParsedNumber parse_number(std::string_view text) noexcept;

// Runtime operations.

// Pushes the hexadecimal text of `value` as a temporary.
void HEX_S(std::int32_t value);
// Pushes the decimal text of `value` as a temporary.
void STR_S(std::int16_t value);
// Pops a string and returns the number its text starts with; raises 6 when the
// number cannot be represented in its type.
double VAL();

// Expression forms for application code (basic_string.h).
inline auto hex_s(std::int32_t value)
{
    return [value] { HEX_S(value); };
}
inline auto str_s(std::int16_t value)
{
    return [value] { STR_S(value); };
}
template <StringOperand E>
double val(E&& text)
{
    push_operand(text);
    return VAL();
}

}  // namespace rt
