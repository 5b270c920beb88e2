// Checked number conversions and the checks that turn floating-point
// exceptions into numbered errors.
//
// Real arithmetic is plain double arithmetic in application code; after each
// real operation the code calls FPU_CHECK, which reads and clears the
// floating-point exception flags. Integers are the fixed-size types of the
// value model: 16-bit, 32-bit and byte.
#pragma once

#include <cstdint>

namespace rt {

// Raises 5 for an invalid operation, 11 for a division by zero, 6 for an
// overflow (in that order of precedence) when the flag is set; clears the flags.
void FPU_CHECK();

void DIV_ZERO_CHECK(std::int32_t divisor);

// Round half away from zero; out of range raises 6.
std::int16_t CINT(double value);
std::int32_t CLNG(double value);
std::uint8_t CBYTE(double value);
// Narrow to single or keep double; a value out of the type's range raises 6.
float CSNG(double value);
double CDBL(double value);

// Round to nearest, ties to even (how a real is stored into an integer
// variable); out of range raises 6.
std::int16_t REAL_TO_I16_CHECK(double value);
std::int32_t REAL_TO_I32_CHECK(double value);
// Same rounding without a check: a value out of range gives -2147483648.
std::int32_t REAL_TO_I32(double value) noexcept;
std::int16_t I32_TO_I16_CHECK(std::int32_t value);

// variable += step for loop counters; an overflow raises 6 and leaves the
// variable unchanged.
void I16_ADD_ASSIGN(std::int16_t& variable, const std::int16_t& step);
void I32_ADD_ASSIGN(std::int32_t& variable, const std::int32_t& step);
void BYTE_ADD_ASSIGN(std::uint8_t& variable, const std::uint8_t& step);

inline double I16_TO_REAL(std::int16_t value) noexcept { return value; }
inline double I32_TO_REAL(std::int32_t value) noexcept { return value; }
inline double BYTE_TO_REAL(std::uint8_t value) noexcept { return value; }

// Loads a variable of numeric type code 0..4 at `address`; another type raises 5.
double LOAD_NUMBER(std::uint8_t type, const void* address);
// Stores `value` as type code 0..4 at `address` with the checks above; returns
// false (storing nothing) where a check fails or the type is not numeric.
bool STORE_NUMBER(std::uint8_t type, void* address, double value) noexcept;

// x ^ y: y = 0 gives 1, x = 0 gives 0, otherwise 2^(y*log2|x|), negated for a
// negative x with an odd integer y. A negative x with a non-integer y gives an
// overflow, which the following FPU_CHECK reports as error 6.
double POWER(double x, double y) noexcept;

}  // namespace rt
