// The picture formatter over arbitrary pictures and values: the first eight
// bytes are the value, the rest the picture; a few items walk the picture.
// fuzz-links: qk_core qk_host
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "runtime/core/print_using.h"

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < sizeof(double))
        return 0;
    double value = 0;
    std::memcpy(&value, data, sizeof value);
    std::string_view picture(reinterpret_cast<const char*>(data + sizeof value), size - sizeof value);
    std::size_t position = 0;
    for (int item = 0; item < 4; ++item) {
        rt::UsingItem result = rt::format_using_item(picture, position, item % 2 == 0 ? value : std::trunc(std::fmod(value, 40000.0)));
        check(result.error == 0 || result.error == 5 || result.error == 6 || result.error == 13);
        if (result.error != 0)
            break;
        check(result.next_position <= picture.size());
        check(!result.text.empty());
        position = result.next_position;
    }
    return 0;
}
