#include "runtime/core/print_using.h"

#include <cmath>
#include <memory>
#include <new>
#include <optional>

#include "runtime/core/error.h"
#include "runtime/core/number_text.h"
#include "runtime/core/print_channel.h"
#include "runtime/core/runtime.h"
#include "runtime/core/shift_jis.h"
#include "runtime/core/string_ops.h"

namespace rt {

namespace {

// Site codes: operation in the high byte, check in the low byte.
namespace site {
inline constexpr std::uint16_t kBeginMemory = 0xAE01;
inline constexpr std::uint16_t kBeginWindow = 0xAE02;
inline constexpr std::uint16_t kItemWindow = 0xAF01;
inline constexpr std::uint16_t kItemNoField = 0xAF02;
inline constexpr std::uint16_t kItemConversion = 0xAF03;
inline constexpr std::uint16_t kItemStringField = 0xAF04;
inline constexpr std::uint16_t kItemMemory = 0xAF05;
}  // namespace site

constexpr std::uint16_t kErrorNoField = err::kIllegalArgument;
constexpr std::uint16_t kErrorConversion = err::kOverflow;
constexpr std::uint16_t kErrorStringField = err::kTypeMismatch;

struct NumericField {
    std::size_t end = 0;  // first picture position after the field
    bool leading_plus = false;
    bool trailing_plus = false;
    bool trailing_minus = false;
    bool star_fill = false;
    bool currency = false;
    bool thousands = false;
    long long integer_columns = 0;  // columns before the point, fill and currency positions included
    bool point = false;
    long long fraction = 0;
    int exponent_digits = 0;  // 0: fixed form

    bool trailing_sign() const noexcept { return trailing_plus || trailing_minus; }
    long long columns() const noexcept
    {
        return (leading_plus ? 1 : 0) + integer_columns + (point ? 1 + fraction : 0) +
               (exponent_digits > 0 ? 2 + exponent_digits : 0) + (trailing_sign() ? 1 : 0);
    }
};

bool at(std::string_view picture, std::size_t i, char c) noexcept
{
    return i < picture.size() && picture[i] == c;
}

bool starts_numeric_field(std::string_view picture, std::size_t i) noexcept
{
    if (i >= picture.size())
        return false;
    switch (picture[i]) {
    case '#':
        return true;
    case '.':
        return at(picture, i + 1, '#');
    case '*':
        return at(picture, i + 1, '*');
    case '$':
        return at(picture, i + 1, '$');
    case '+':
        return !at(picture, i + 1, '+') && starts_numeric_field(picture, i + 1);
    default:
        return false;
    }
}

bool is_string_field(char c) noexcept
{
    return c == '&' || c == '!' || c == '@';
}

enum class FieldKind { None, Numeric, String };

// Copies literal text from `position` up to the next field into `literal`;
// returns the field's kind and moves `position` to its start.
FieldKind scan_literals(std::string_view picture, std::size_t& position, std::string& literal)
{
    while (position < picture.size()) {
        char c = picture[position];
        if (c == '_') {
            if (position + 1 < picture.size()) {
                std::size_t step = sjis::character_length(picture, position + 1);
                literal += picture.substr(position + 1, step);
                position += 1 + step;
            } else {
                literal += c;
                ++position;
            }
            continue;
        }
        if (is_string_field(c))
            return FieldKind::String;
        if (starts_numeric_field(picture, position))
            return FieldKind::Numeric;
        std::size_t step = sjis::character_length(picture, position);
        literal += picture.substr(position, step);
        position += step;
    }
    return FieldKind::None;
}

NumericField parse_numeric_field(std::string_view picture, std::size_t i)
{
    NumericField f;
    std::string_view rest = picture.substr(i);
    if (rest.front() == '+') {
        f.leading_plus = true;
        ++i;
    }
    rest = picture.substr(i);
    if (rest.starts_with("**$")) {
        f.star_fill = f.currency = true;
        f.integer_columns = 3;
        i += 3;
    } else if (rest.starts_with("**")) {
        f.star_fill = true;
        f.integer_columns = 2;
        i += 2;
    } else if (rest.starts_with("$$")) {
        f.currency = true;
        f.integer_columns = 2;
        i += 2;
    }
    while (i < picture.size()) {
        bool comma = picture[i] == ',' && (at(picture, i + 1, '#') || at(picture, i + 1, ',') || at(picture, i + 1, '.'));
        if (picture[i] != '#' && !comma)
            break;
        f.thousands = f.thousands || comma;
        ++f.integer_columns;
        ++i;
    }
    if (at(picture, i, '.')) {
        f.point = true;
        ++i;
        for (; at(picture, i, '#'); ++i)
            ++f.fraction;
    }
    rest = picture.substr(i);
    if (rest.starts_with("^^^^^")) {
        f.exponent_digits = 3;
        i += 5;
    } else if (rest.starts_with("^^^^")) {
        f.exponent_digits = 2;
        i += 4;
    }
    if (!f.leading_plus && (at(picture, i, '+') || at(picture, i, '-'))) {
        (picture[i] == '+' ? f.trailing_plus : f.trailing_minus) = true;
        ++i;
    }
    f.end = i;
    return f;
}

// Digit `index` of 0.digits x 10^point, counted from the decimal point's left
// neighbour as index point - 1; '0' outside the stored digits.
char digit_at(const DecimalDigits& d, long long index) noexcept
{
    return index >= 0 && index < static_cast<long long>(d.digits.size()) ? d.digits[static_cast<std::size_t>(index)] : '0';
}

std::string group_thousands(const std::string& digits)
{
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return out;
}

std::string sign_prefix(const NumericField& f, bool negative, bool reserve_column)
{
    if (f.leading_plus)
        return negative ? "-" : "+";
    if (f.trailing_sign())
        return "";
    if (negative)
        return "-";
    return reserve_column ? " " : "";
}

std::string sign_suffix(const NumericField& f, bool negative)
{
    if (f.trailing_plus)
        return negative ? "-" : "+";
    if (f.trailing_minus)
        return negative ? "-" : " ";
    return "";
}

// The fixed-form field's text, before fill.
std::string fixed_body(const NumericField& f, double value)
{
    DecimalDigits d = round_to_fraction(shortest_digits(std::fabs(value)), f.fraction);
    bool negative = value < 0 && !d.digits.empty();
    std::string whole;
    for (long long k = 0; k < d.point; ++k)
        whole += digit_at(d, k);
    if (f.thousands)
        whole = group_thousands(whole);
    std::string fraction;
    for (long long k = 0; k < f.fraction; ++k)
        fraction += digit_at(d, d.point + k);
    auto assemble = [&](const std::string& integer_part) {
        return sign_prefix(f, negative, false) + (f.currency ? "$" : "") + integer_part + (f.point ? "." + fraction : "") +
               sign_suffix(f, negative);
    };
    std::string body = assemble(whole);
    if (whole.empty() && f.integer_columns > 0 && static_cast<long long>(body.size()) < f.columns())
        body = assemble("0");
    return body;
}

// The exponent-form field's text before fill; nullopt when the exponent needs
// more digits than the field has.
std::optional<std::string> exponent_body(const NumericField& f, double value)
{
    // Without an explicit sign one integer column holds the sign or a space.
    bool reserve_sign = !f.leading_plus && !f.trailing_sign() && f.integer_columns > 0;
    long long integer_digits = f.integer_columns - (reserve_sign ? 1 : 0) - (f.currency ? 1 : 0);
    if (integer_digits < 0)
        integer_digits = 0;
    if (integer_digits == 0 && f.fraction == 0)
        integer_digits = 1;
    DecimalDigits d = round_to_significant(shortest_digits(std::fabs(value)), integer_digits + f.fraction);
    bool negative = value < 0 && !d.digits.empty();
    long long exponent = d.digits.empty() ? 0 : d.point - integer_digits;
    std::string mantissa;
    for (long long k = 0; k < integer_digits; ++k)
        mantissa += digit_at(d, k);
    if (f.point)
        mantissa += '.';
    for (long long k = 0; k < f.fraction; ++k)
        mantissa += digit_at(d, integer_digits + k);
    std::string digits = std::to_string(exponent < 0 ? -exponent : exponent);
    if (static_cast<long long>(digits.size()) > f.exponent_digits)
        return std::nullopt;
    digits.insert(0, static_cast<std::size_t>(f.exponent_digits) - digits.size(), '0');
    return sign_prefix(f, negative, reserve_sign) + (f.currency ? "$" : "") + mantissa + "E" + (exponent < 0 ? "-" : "+") +
           digits + sign_suffix(f, negative);
}

std::string format_numeric(const NumericField& f, double value)
{
    std::optional<std::string> body = f.exponent_digits > 0 ? exponent_body(f, value) : fixed_body(f, value);
    auto columns = static_cast<std::size_t>(f.columns());
    if (!body || body->size() > columns)
        return "%" + real_text(value);
    return std::string(columns - body->size(), f.star_fill ? '*' : ' ') + *body;
}

// The using state of the running program: a copy of the picture and the scan position.
class UsingState final : public RuntimeExtension {
public:
    std::string picture;
    std::size_t position = 0;
};

UsingState* find_using_state() noexcept
{
    return Runtime::current().find_extension<UsingState>();
}

void print_using_item(double value, std::uint16_t separator)
{
    PrintChannel* channel = Runtime::current().print_channel();
    if (channel == nullptr)
        RAISE_ERROR(err::kBadWindow, site::kItemWindow);
    UsingState* state = find_using_state();
    std::string_view picture = state != nullptr ? std::string_view(state->picture) : std::string_view{};
    UsingItem item;
    try {
        item = format_using_item(picture, state != nullptr ? state->position : 0, value);
    } catch (const std::bad_alloc&) {
        RAISE_ERROR(err::kOutOfMemory, site::kItemMemory);
    }
    switch (item.error) {
    case 0:
        break;
    case kErrorNoField:
        RAISE_ERROR(item.error, site::kItemNoField);
    case kErrorStringField:
        RAISE_ERROR(item.error, site::kItemStringField);
    default:
        RAISE_ERROR(item.error, site::kItemConversion);
    }
    if (state != nullptr)
        state->position = item.next_position;
    channel->print_item(item.text, separator);
}

}  // namespace

UsingItem format_using_item(std::string_view picture, std::size_t position, double value)
{
    UsingItem item;
    if (position >= picture.size())
        position = 0;
    switch (scan_literals(picture, position, item.text)) {
    case FieldKind::None:
        item.error = kErrorNoField;
        return item;
    case FieldKind::String:
        item.error = kErrorStringField;
        return item;
    case FieldKind::Numeric:
        break;
    }
    if (!std::isfinite(value)) {
        item.error = kErrorConversion;
        return item;
    }
    NumericField field = parse_numeric_field(picture, position);
    item.text += format_numeric(field, value);
    // Literal text after the last field belongs to this item; the next item
    // starts again at the picture's beginning.
    std::size_t after = field.end;
    std::string trailing;
    if (scan_literals(picture, after, trailing) == FieldKind::None) {
        item.text += trailing;
        item.next_position = picture.size();
    } else {
        item.next_position = field.end;
    }
    return item;
}

void PRINT_USING_BEGIN(std::uint16_t window_or_channel)
{
    std::string picture;
    {
        PoppedString popped;
        try {
            picture.assign(popped.view());
        } catch (const std::bad_alloc&) {
            popped.release();
            RAISE_ERROR(err::kOutOfMemory, site::kBeginMemory);
        }
    }
    Runtime& runtime = Runtime::current();
    PrintChannel* channel = runtime.print_channel();
    if (channel == nullptr)
        RAISE_ERROR(err::kBadWindow, site::kBeginWindow);
    channel->select(window_or_channel);
    UsingState* state = runtime.find_extension<UsingState>();
    if (state == nullptr)
        state = &runtime.install(std::make_unique<UsingState>());
    state->picture = std::move(picture);
    state->position = 0;
}

void PRINT_USING_I16(std::int16_t value, std::uint16_t separator)
{
    print_using_item(value, separator);
}

void PRINT_USING_REAL(std::uint16_t separator, double value)
{
    print_using_item(value, separator);
}

void PRINT_USING_END()
{
    if (UsingState* state = find_using_state()) {
        state->picture = std::string();
        state->position = 0;
    }
}

}  // namespace rt
