#include "number_text.h"

#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace monitor {

namespace {

bool is_digit(char c) noexcept { return c >= '0' && c <= '9'; }

int radix_digit(char c, int radix) noexcept
{
    int value = -1;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    return value < radix ? value : -1;
}

enum class NumberType { Int16, Int32, Single, Double, Unset };

std::optional<double> decimal_value(std::string_view text)
{
    text = text.substr(0, text.find(' '));
    std::string number;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        number.push_back(text[i++]);
    bool fraction = false;
    int significant = 0;
    bool any_digit = false;
    while (i < text.size() && (is_digit(text[i]) || (text[i] == '.' && !fraction))) {
        if (text[i] == '.')
            fraction = true;
        else {
            any_digit = true;
            if (significant > 0 || text[i] != '0')
                ++significant;
        }
        number.push_back(text[i++]);
    }
    if (!any_digit)
        return 0.0;
    NumberType type = NumberType::Unset;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            exponent.push_back(text[j++]);
        if (j < text.size() && is_digit(text[j])) {
            type = (text[i] == 'D' || text[i] == 'd') ? NumberType::Double : NumberType::Single;
            while (j < text.size() && is_digit(text[j]))
                exponent.push_back(text[j++]);
            number += exponent;
            i = j;
        }
    }
    if (type == NumberType::Unset && i < text.size()) {
        switch (text[i]) {
        case '%': type = NumberType::Int16; break;
        case '&': type = NumberType::Int32; break;
        case '!': type = NumberType::Single; break;
        case '#': type = NumberType::Double; break;
        default: break;
        }
    }
    const double value = std::strtod(number.c_str(), nullptr);
    if (!std::isfinite(value))
        return std::nullopt;
    const bool integral = std::nearbyint(value) == value;
    if (type == NumberType::Unset) {
        if (integral && value >= -32768.0 && value <= 32767.0)
            type = NumberType::Int16;
        else if (integral && value >= -2147483648.0 && value <= 2147483647.0)
            type = NumberType::Int32;
        else
            type = significant < 8 ? NumberType::Single : NumberType::Double;
    }
    switch (type) {
    case NumberType::Int16: {
        auto v = round_to_int16(value);
        return v ? std::optional<double>(*v) : std::nullopt;
    }
    case NumberType::Int32: {
        auto v = round_to_int32(value);
        return v ? std::optional<double>(*v) : std::nullopt;
    }
    case NumberType::Single:
        if (std::fabs(value) > FLT_MAX)
            return std::nullopt;
        return static_cast<double>(static_cast<float>(value));
    default:
        return value;
    }
}

}  // namespace

std::optional<double> value_of_text(std::string_view text)
{
    std::size_t start = 0;
    while (start < text.size() && text[start] == ' ')
        ++start;
    text = text.substr(start);
    if (text.empty())
        return 0.0;
    if (text.size() >= 3 && text[0] == '&') {
        const char kind = static_cast<char>(std::toupper(static_cast<unsigned char>(text[1])));
        if (kind == 'H' || kind == 'O') {
            const int radix = kind == 'H' ? 16 : 8;
            double value = 0;
            for (std::size_t i = 2; i < text.size(); ++i) {
                const int digit = radix_digit(text[i], radix);
                if (digit < 0)
                    break;
                value = value * radix + digit;
            }
            if (!std::isfinite(value))
                return std::nullopt;
            return value;
        }
    }
    const char first = text[0];
    const bool starts_number = is_digit(first) || (first == '.' && text.size() > 1 && is_digit(text[1])) ||
                               ((first == '+' || first == '-') && text.size() > 1 &&
                                (is_digit(text[1]) || text[1] == '.'));
    if (!starts_number)
        return 0.0;
    return decimal_value(text);
}

std::optional<std::int16_t> round_to_int16(double value)
{
    const double rounded = std::nearbyint(value);
    if (!(rounded >= -32768.0 && rounded <= 32767.0))
        return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}

std::optional<std::int32_t> round_to_int32(double value)
{
    const double rounded = std::nearbyint(value);
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0))
        return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}

}  // namespace monitor
