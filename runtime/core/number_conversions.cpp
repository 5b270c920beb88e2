#include "runtime/core/number_conversions.h"

#include <cfenv>
#include <cmath>
#include <cstring>
#include <limits>

#include "runtime/core/error.h"
#include "runtime/core/string_descriptor.h"

namespace rt {

namespace {
// Site codes: high byte per operation, low byte per check.
namespace site {
inline constexpr std::uint16_t kFpuInvalid = 0xE001;
inline constexpr std::uint16_t kFpuZeroDivide = 0xE002;
inline constexpr std::uint16_t kFpuOverflow = 0xE003;
inline constexpr std::uint16_t kDivZero = 0xE101;
inline constexpr std::uint16_t kI16Step = 0xE201;
inline constexpr std::uint16_t kCint = 0xE301;
inline constexpr std::uint16_t kClng = 0xE401;
inline constexpr std::uint16_t kCbyte = 0xE501;
inline constexpr std::uint16_t kCsng = 0xE601;
inline constexpr std::uint16_t kCdbl = 0xE701;
inline constexpr std::uint16_t kRealToI16 = 0xE801;
inline constexpr std::uint16_t kRealToI32 = 0xE901;
inline constexpr std::uint16_t kI32ToI16 = 0xEA01;
inline constexpr std::uint16_t kI32Step = 0xEE01;
inline constexpr std::uint16_t kByteStep = 0xEF01;
inline constexpr std::uint16_t kLoadType = 0xDE01;
}  // namespace site

// Smallest magnitude that rounds to infinity as a single: halfway between the
// largest single, 0x1.fffffep127, and 2^128.
constexpr double kSingleOverflow = 0x1.ffffffp127;

// Rounded value within [low, high]? (false for NaN)
bool in_range(double rounded, double low, double high) noexcept
{
    return rounded >= low && rounded <= high;
}

std::int16_t round_half_away_i16(double value, std::uint16_t site)
{
    const double r = std::round(value);
    if (!in_range(r, -32768.0, 32767.0))
        RAISE_ERROR(err::kOverflow, site);
    return static_cast<std::int16_t>(r);
}

bool single_overflows(double value) noexcept
{
    return std::isinf(value) || std::fabs(value) >= kSingleOverflow;
}
}  // namespace

void FPU_CHECK()
{
    const int flags = std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);
    std::feclearexcept(FE_ALL_EXCEPT);
    if (flags & FE_INVALID)
        RAISE_ERROR(err::kIllegalArgument, site::kFpuInvalid);
    if (flags & FE_DIVBYZERO)
        RAISE_ERROR(err::kDivisionByZero, site::kFpuZeroDivide);
    if (flags & FE_OVERFLOW)
        RAISE_ERROR(err::kOverflow, site::kFpuOverflow);
}

void DIV_ZERO_CHECK(std::int32_t divisor)
{
    if (divisor == 0)
        RAISE_ERROR(err::kDivisionByZero, site::kDivZero);
}

std::int16_t CINT(double value)
{
    return round_half_away_i16(value, site::kCint);
}

std::int32_t CLNG(double value)
{
    const double r = std::round(value);
    if (!in_range(r, -2147483648.0, 2147483647.0))
        RAISE_ERROR(err::kOverflow, site::kClng);
    return static_cast<std::int32_t>(r);
}

std::uint8_t CBYTE(double value)
{
    const double r = std::round(value);
    if (!in_range(r, 0.0, 255.0))
        RAISE_ERROR(err::kOverflow, site::kCbyte);
    return static_cast<std::uint8_t>(r);
}

float CSNG(double value)
{
    if (single_overflows(value))
        RAISE_ERROR(err::kOverflow, site::kCsng);
    return static_cast<float>(value);
}

double CDBL(double value)
{
    // An infinite value is an overflow that went past the double range.
    if (std::isinf(value))
        RAISE_ERROR(err::kOverflow, site::kCdbl);
    return value;
}

std::int16_t REAL_TO_I16_CHECK(double value)
{
    const double r = std::nearbyint(value);
    if (!in_range(r, -32768.0, 32767.0))
        RAISE_ERROR(err::kOverflow, site::kRealToI16);
    return static_cast<std::int16_t>(r);
}

std::int32_t REAL_TO_I32_CHECK(double value)
{
    const double r = std::nearbyint(value);
    if (!in_range(r, -2147483648.0, 2147483647.0))
        RAISE_ERROR(err::kOverflow, site::kRealToI32);
    return static_cast<std::int32_t>(r);
}

std::int32_t REAL_TO_I32(double value) noexcept
{
    const double r = std::nearbyint(value);
    if (!in_range(r, -2147483648.0, 2147483647.0))
        return std::numeric_limits<std::int32_t>::min();  // the "integer indefinite" value
    return static_cast<std::int32_t>(r);
}

std::int16_t I32_TO_I16_CHECK(std::int32_t value)
{
    if (value < -32768 || value > 32767)
        RAISE_ERROR(err::kOverflow, site::kI32ToI16);
    return static_cast<std::int16_t>(value);
}

void I16_ADD_ASSIGN(std::int16_t& variable, const std::int16_t& step)
{
    const std::int32_t sum = std::int32_t{variable} + step;
    if (sum < -32768 || sum > 32767)
        RAISE_ERROR(err::kOverflow, site::kI16Step);
    variable = static_cast<std::int16_t>(sum);
}

void I32_ADD_ASSIGN(std::int32_t& variable, const std::int32_t& step)
{
    const std::int64_t sum = std::int64_t{variable} + step;
    if (sum < std::numeric_limits<std::int32_t>::min() || sum > std::numeric_limits<std::int32_t>::max())
        RAISE_ERROR(err::kOverflow, site::kI32Step);
    variable = static_cast<std::int32_t>(sum);
}

void BYTE_ADD_ASSIGN(std::uint8_t& variable, const std::uint8_t& step)
{
    const unsigned sum = unsigned{variable} + step;
    if (sum > 255)
        RAISE_ERROR(err::kOverflow, site::kByteStep);
    variable = static_cast<std::uint8_t>(sum);
}

double LOAD_NUMBER(std::uint8_t type, const void* address)
{
    switch (type) {
    case type_code::kI16: {
        std::int16_t v;
        std::memcpy(&v, address, sizeof v);
        return v;
    }
    case type_code::kI32: {
        std::int32_t v;
        std::memcpy(&v, address, sizeof v);
        return v;
    }
    case type_code::kSingle: {
        float v;
        std::memcpy(&v, address, sizeof v);
        return v;
    }
    case type_code::kDouble: {
        double v;
        std::memcpy(&v, address, sizeof v);
        return v;
    }
    case type_code::kByte:
        return *static_cast<const std::uint8_t*>(address);
    default:
        RAISE_ERROR(err::kIllegalArgument, site::kLoadType);
    }
}

bool STORE_NUMBER(std::uint8_t type, void* address, double value) noexcept
{
    switch (type) {
    case type_code::kI16: {
        const double r = std::nearbyint(value);
        if (!in_range(r, -32768.0, 32767.0))
            return false;
        const auto v = static_cast<std::int16_t>(r);
        std::memcpy(address, &v, sizeof v);
        return true;
    }
    case type_code::kI32: {
        const double r = std::nearbyint(value);
        if (!in_range(r, -2147483648.0, 2147483647.0))
            return false;
        const auto v = static_cast<std::int32_t>(r);
        std::memcpy(address, &v, sizeof v);
        return true;
    }
    case type_code::kSingle: {
        if (single_overflows(value))
            return false;
        const auto v = static_cast<float>(value);
        std::memcpy(address, &v, sizeof v);
        return true;
    }
    case type_code::kDouble:
        if (std::isinf(value))
            return false;
        std::memcpy(address, &value, sizeof value);
        return true;
    case type_code::kByte: {
        const double r = std::nearbyint(value);
        if (!in_range(r, 0.0, 255.0))
            return false;
        *static_cast<std::uint8_t*>(address) = static_cast<std::uint8_t>(r);
        return true;
    }
    default:
        return false;
    }
}

double POWER(double x, double y) noexcept
{
    if (y == 0.0)
        return 1.0;
    if (x == 0.0)
        return 0.0;
    const bool integer_exponent = std::nearbyint(y) == y;
    if (x < 0.0 && !integer_exponent) {
        // No real result: give a value past the double range, as the check expects.
        std::feraiseexcept(FE_OVERFLOW | FE_INEXACT);
        return std::numeric_limits<double>::infinity();
    }
    // Extended precision keeps exact powers exact after rounding to double.
    const long double magnitude = std::exp2l(static_cast<long double>(y) * std::log2l(std::fabs(static_cast<long double>(x))));
    const double result = static_cast<double>(magnitude);
    const bool odd = integer_exponent && std::fmod(y, 2.0) != 0.0;
    return x < 0.0 && odd ? -result : result;
}

}  // namespace rt
