#include "shift_jis_text.h"

#include "runtime/core/shift_jis.h"

namespace monitor {

std::string upper_case(std::string_view text)
{
    std::string result(text);
    for (std::size_t i = 0; i < result.size();) {
        const std::size_t length = rt::sjis::character_length(result, i);
        if (length == 1 && result[i] >= 'a' && result[i] <= 'z')
            result[i] = static_cast<char>(result[i] - 'a' + 'A');
        i += length;
    }
    return result;
}

std::size_t display_width(std::string_view text)
{
    // Each character takes as many cells as it has bytes.
    return text.size();
}

std::string_view cut_to_characters(std::string_view text, std::size_t max_bytes)
{
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t length = rt::sjis::character_length(text, end);
        if (end + length > max_bytes)
            break;
        end += length;
    }
    return text.substr(0, end);
}

}  // namespace monitor
