#include "runtime/core/number_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

#include "runtime/core/error.h"
#include "runtime/core/string_ops.h"

namespace rt {

namespace {

// Site codes: operation in the high byte, check in the low byte.
namespace site {
inline constexpr std::uint16_t kValOverflow = 0xAB01;
}  // namespace site

// VAL uses at most this many significant digits; later digits count only for
// the magnitude.
constexpr std::size_t kMaxSignificantDigits = 28;
// Beyond these decimal magnitudes every real overflows or vanishes.
constexpr long long kMagnitudeLimit = 400;

constexpr bool is_digit(char c) noexcept { return c >= '0' && c <= '9'; }

int digit_value(char c, int base) noexcept
{
    int v = -1;
    if (c >= '0' && c <= '9')
        v = c - '0';
    else if (c >= 'A' && c <= 'F')
        v = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f')
        v = c - 'a' + 10;
    return v < base ? v : -1;
}

// Reads &H or &O digits from `position` to the first other character.
ParsedNumber parse_radix(std::string_view text, std::size_t position, int base) noexcept
{
    double value = 0;
    for (; position < text.size(); ++position) {
        int d = digit_value(text[position], base);
        if (d < 0)
            break;
        value = value * base + d;
    }
    return {value, type_code::kDouble, std::isfinite(value)};
}

// Up to 28 significant digits, kept without allocating.
class SignificantDigits {
public:
    bool empty() const noexcept { return size_ == 0; }
    std::size_t size() const noexcept { return size_; }
    void push_back(char c) noexcept { digits_[size_++] = c; }
    void pop_back() noexcept { --size_; }
    char back() const noexcept { return digits_[size_ - 1]; }
    const char* begin() const noexcept { return digits_.data(); }
    const char* end() const noexcept { return digits_.data() + size_; }

private:
    std::array<char, kMaxSignificantDigits> digits_{};
    std::size_t size_ = 0;
};

// A decimal number as read: value = digits x 10^exponent, digits without
// leading or trailing zeros.
struct DecimalText {
    SignificantDigits digits;
    long long exponent = 0;
    std::size_t written_significant = 0;  // significant digits as written (for the type)
    bool negative = false;
    char exponent_letter = 0;             // 'E', 'D' or 0
    char suffix = 0;                      // '%', '&', '!', '#' or 0

    bool integral() const noexcept { return digits.empty() || exponent >= 0; }
    // Decimal position of the leading digit: value lies in [10^(lead-1), 10^lead).
    long long lead() const noexcept { return exponent + static_cast<long long>(digits.size()); }
};

// Reads digits, point, exponent and suffix between `position` and `end`.
DecimalText read_decimal(std::string_view text, std::size_t position, std::size_t end) noexcept
{
    DecimalText n;
    auto take_digit = [&n](char c) {
        ++n.written_significant;
        if (n.digits.size() < kMaxSignificantDigits) {
            n.digits.push_back(c);
            return true;
        }
        return false;
    };
    while (position < end && is_digit(text[position])) {
        char c = text[position++];
        if (n.digits.empty() && c == '0')
            continue;
        if (!take_digit(c))
            ++n.exponent;
    }
    if (position < end && text[position] == '.') {
        ++position;
        while (position < end && is_digit(text[position])) {
            char c = text[position++];
            if (n.digits.empty() && c == '0')
                --n.exponent;
            else if (take_digit(c))
                --n.exponent;
        }
    }
    if (position < end) {
        char letter = text[position];
        if (letter == 'E' || letter == 'e' || letter == 'D' || letter == 'd') {
            std::size_t j = position + 1;
            bool minus = false;
            if (j < end && (text[j] == '+' || text[j] == '-'))
                minus = text[j++] == '-';
            if (j < end && is_digit(text[j])) {
                long long e = 0;
                for (; j < end && is_digit(text[j]); ++j)
                    if (e < 1'000'000'000)
                        e = e * 10 + (text[j] - '0');
                n.exponent += minus ? -e : e;
                n.exponent_letter = (letter == 'E' || letter == 'e') ? 'E' : 'D';
                position = j;
            }
        }
    }
    if (position < end) {
        char c = text[position];
        if (c == '%' || c == '&' || c == '!' || c == '#')
            n.suffix = c;
    }
    if (n.digits.empty())
        n.exponent = 0;
    while (!n.digits.empty() && n.digits.back() == '0') {
        n.digits.pop_back();
        ++n.exponent;
    }
    return n;
}

// Correctly rounded conversion of the digits to T (float or double); the
// magnitude only. Sets `overflow` when it leaves T's range.
template <class T>
T convert_magnitude(const DecimalText& n, bool& overflow) noexcept
{
    overflow = false;
    if (n.digits.empty() || n.lead() < -kMagnitudeLimit)
        return 0;
    if (n.lead() > kMagnitudeLimit) {
        overflow = true;
        return 0;
    }
    std::array<char, 64> buffer{};
    char* out = std::copy(n.digits.begin(), n.digits.end(), buffer.data());
    *out++ = 'e';
    out = std::to_chars(out, buffer.data() + buffer.size(), n.exponent).ptr;
    T value{};
    auto [ptr, ec] = std::from_chars(buffer.data(), out, value);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        if (n.lead() > 0)
            overflow = true;
        return 0;
    }
    if (!std::isfinite(value))
        overflow = true;
    return value;
}

// The exact value of an integral number of at most 18 digits.
bool exact_integer(const DecimalText& n, long long& out) noexcept
{
    if (!n.integral() || n.lead() > 18)
        return false;
    long long v = 0;
    for (char c : n.digits)
        v = v * 10 + (c - '0');
    for (long long i = 0; i < n.exponent; ++i)
        v *= 10;
    out = n.negative ? -v : v;
    return true;
}

ParsedNumber as_integer(double value, std::uint8_t type, bool overflow) noexcept
{
    double rounded = std::nearbyint(value);
    double low = type == type_code::kI16 ? -32768.0 : -2147483648.0;
    double high = type == type_code::kI16 ? 32767.0 : 2147483647.0;
    if (overflow || !(rounded >= low && rounded <= high))
        return {0, type, false};
    return {rounded, type, true};
}

ParsedNumber as_real(const DecimalText& n, std::uint8_t type) noexcept
{
    bool overflow = false;
    double magnitude = type == type_code::kSingle ? double(convert_magnitude<float>(n, overflow))
                                                 : convert_magnitude<double>(n, overflow);
    if (overflow)
        return {0, type, false};
    return {n.negative ? -magnitude : magnitude, type, true};
}

ParsedNumber typed_value(const DecimalText& n) noexcept
{
    switch (n.suffix) {
    case '%':
    case '&': {
        bool overflow = false;
        double magnitude = convert_magnitude<double>(n, overflow);
        return as_integer(n.negative ? -magnitude : magnitude, n.suffix == '%' ? type_code::kI16 : type_code::kI32, overflow);
    }
    case '!':
        return as_real(n, type_code::kSingle);
    case '#':
        return as_real(n, type_code::kDouble);
    default:
        break;
    }
    if (n.exponent_letter == 'E')
        return as_real(n, type_code::kSingle);
    if (n.exponent_letter == 'D')
        return as_real(n, type_code::kDouble);
    long long whole = 0;
    if (exact_integer(n, whole)) {
        if (whole >= -32768 && whole <= 32767)
            return {double(whole), type_code::kI16, true};
        if (whole >= -2147483648LL && whole <= 2147483647LL)
            return {double(whole), type_code::kI32, true};
    }
    return as_real(n, n.written_significant < 8 ? type_code::kSingle : type_code::kDouble);
}

// Builds "0.digits x 10^point" from the scientific text of std::to_chars.
DecimalDigits digits_of_scientific(std::string_view scientific)
{
    DecimalDigits d;
    std::size_t e = scientific.find('e');
    for (std::size_t i = 0; i < e; ++i)
        if (is_digit(scientific[i]))
            d.digits.push_back(scientific[i]);
    int exponent = 0;
    std::string_view tail = scientific.substr(e + 1);
    if (!tail.empty() && tail.front() == '+')
        tail.remove_prefix(1);
    std::from_chars(tail.data(), tail.data() + tail.size(), exponent);
    d.point = exponent + 1;
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits.empty())
        d.point = 0;
    return d;
}

bool single_holds(double magnitude) noexcept
{
    return magnitude <= std::numeric_limits<float>::max() && double(float(magnitude)) == magnitude;
}

DecimalDigits round_at(DecimalDigits number, long long keep)
{
    if (keep >= static_cast<long long>(number.digits.size()))
        return number;
    if (keep < 0)
        return {};
    bool carry = number.digits[static_cast<std::size_t>(keep)] >= '5';
    number.digits.resize(static_cast<std::size_t>(keep));
    if (carry) {
        while (!number.digits.empty() && number.digits.back() == '9')
            number.digits.pop_back();
        if (number.digits.empty()) {
            number.digits = "1";
            ++number.point;
        } else {
            ++number.digits.back();
        }
    }
    while (!number.digits.empty() && number.digits.back() == '0')
        number.digits.pop_back();
    if (number.digits.empty())
        number.point = 0;
    return number;
}

}  // namespace

std::string hex_text(std::int32_t value)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    auto bits = static_cast<std::uint32_t>(value);
    std::array<char, 8> buffer{};
    std::size_t first = buffer.size();
    do {
        buffer[--first] = kDigits[bits & 0xF];
        bits >>= 4;
    } while (bits != 0);
    return std::string(buffer.data() + first, buffer.size() - first);
}

std::string signed_decimal_text(std::int64_t value)
{
    return value >= 0 ? " " + std::to_string(value) : std::to_string(value);
}

DecimalDigits shortest_digits(double magnitude)
{
    std::array<char, 64> buffer{};
    std::to_chars_result r = single_holds(magnitude)
                                 ? std::to_chars(buffer.data(), buffer.data() + buffer.size(), float(magnitude), std::chars_format::scientific)
                                 : std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude, std::chars_format::scientific);
    return digits_of_scientific(std::string_view(buffer.data(), static_cast<std::size_t>(r.ptr - buffer.data())));
}

DecimalDigits round_to_fraction(DecimalDigits number, long long fraction)
{
    long long keep = number.point + fraction;
    return round_at(std::move(number), keep);
}

DecimalDigits round_to_significant(DecimalDigits number, long long count)
{
    return round_at(std::move(number), count);
}

std::string real_text(double value)
{
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";
    std::string text = value < 0 ? "-" : " ";
    double magnitude = std::fabs(value);
    DecimalDigits d = shortest_digits(magnitude);
    if (d.digits.empty())
        return text + "0";
    bool single = single_holds(magnitude);
    int fixed_limit = single ? 7 : 16;
    if (d.point >= -1 && d.point <= fixed_limit) {
        auto size = static_cast<int>(d.digits.size());
        if (d.point <= 0)
            text += "." + std::string(static_cast<std::size_t>(-d.point), '0') + d.digits;
        else if (d.point >= size)
            text += d.digits + std::string(static_cast<std::size_t>(d.point - size), '0');
        else
            text += d.digits.substr(0, static_cast<std::size_t>(d.point)) + "." + d.digits.substr(static_cast<std::size_t>(d.point));
        return text;
    }
    text += d.digits.front();
    if (d.digits.size() > 1)
        text += "." + d.digits.substr(1);
    int exponent = d.point - 1;
    text += single ? 'E' : 'D';
    text += exponent < 0 ? '-' : '+';
    std::string e = std::to_string(exponent < 0 ? -exponent : exponent);
    if (e.size() < 2)
        e.insert(0, "0");
    return text + e;
}

ParsedNumber parse_number(std::string_view text) noexcept
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    if (i == text.size())
        return {};
    if (text[i] == '&' && i + 2 < text.size()) {
        char base = text[i + 1];
        if (base == 'H' || base == 'h')
            return parse_radix(text, i + 2, 16);
        if (base == 'O' || base == 'o')
            return parse_radix(text, i + 2, 8);
    }
    std::size_t end = text.find(' ', i);
    if (end == std::string_view::npos)
        end = text.size();
    auto digit_at = [&](std::size_t p) { return p < end && is_digit(text[p]); };
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') {
        negative = text[i] == '-';
        ++i;
        if (!(digit_at(i) || (i < end && text[i] == '.')))
            return {};
    } else if (!(digit_at(i) || (text[i] == '.' && digit_at(i + 1)))) {
        return {};
    }
    DecimalText n = read_decimal(text, i, end);
    n.negative = negative;
    return typed_value(n);
}

void HEX_S(std::int32_t value)
{
    push_temp(hex_text(value));
}

void STR_S(std::int16_t value)
{
    push_temp(signed_decimal_text(value));
}

double VAL()
{
    PoppedString text;
    ParsedNumber number = parse_number(text.view());
    text.release();
    if (!number.representable)
        RAISE_ERROR(err::kOverflow, site::kValOverflow);
    return number.value;
}

}  // namespace rt
