// VAL's number parser and the plain text functions over arbitrary bytes.
// fuzz-links: qk_core qk_host
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "runtime/core/number_text.h"
#include "runtime/core/string_descriptor.h"
#include "runtime/core/string_functions.h"

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void check_parsed(const rt::ParsedNumber& n)
{
    namespace tc = rt::type_code;
    check(n.type == tc::kI16 || n.type == tc::kI32 || n.type == tc::kSingle || n.type == tc::kDouble);
    if (!n.representable)
        return;
    check(std::isfinite(n.value));
    if (n.type == tc::kI16)
        check(n.value >= -32768 && n.value <= 32767 && n.value == std::trunc(n.value));
    if (n.type == tc::kI32)
        check(n.value >= -2147483648.0 && n.value <= 2147483647.0 && n.value == std::trunc(n.value));
    if (n.type == tc::kSingle)
        check(double(float(n.value)) == n.value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The exact-size buffer lets the address sanitizer catch any read past the text.
    std::string_view text(reinterpret_cast<const char*>(data), size);
    rt::ParsedNumber parsed = rt::parse_number(text);
    check_parsed(parsed);

    // Leading spaces never change the number.
    rt::ParsedNumber spaced = rt::parse_number(" " + std::string(text));
    check(spaced.representable == parsed.representable && spaced.type == parsed.type);
    check(!parsed.representable || spaced.value == parsed.value || (std::isnan(spaced.value) && std::isnan(parsed.value)));

    // A double's own text in exponent form reads back exactly.
    if (size >= sizeof(double)) {
        double value = 0;
        std::memcpy(&value, data, sizeof value);
        std::string written = rt::real_text(value);
        if (written.find('D') != std::string::npos) {
            rt::ParsedNumber back = rt::parse_number(written);
            check(back.representable && back.value == value);
        }
    }

    std::string upper = rt::upper_case(text);
    check(upper.size() == size);
    rt::CharacterCounts counts = rt::count_characters(text);
    check(static_cast<std::size_t>(counts.single_byte) + 2 * static_cast<std::size_t>(counts.double_byte) == size);
    check(rt::date_text(text, {2003, 4, 26, 9, 5, 3}).size() == (size == 0 ? 8 : size));
    return 0;
}
