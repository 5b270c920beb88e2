#include "numeric_picture.h"

#include <cmath>
#include <cstdio>

namespace monitor {

std::string signed_decimal_text(double value)
{
    char buffer[64];
    const double rounded = std::nearbyint(value);
    if (std::fabs(rounded) < 1e15)
        std::snprintf(buffer, sizeof buffer, "%.0f", rounded);
    else
        std::snprintf(buffer, sizeof buffer, "%.15G", value);
    std::string text = buffer;
    return rounded < 0 ? text : " " + text;
}

std::string picture_number(double value, int width)
{
    std::string digits = signed_decimal_text(value);
    if (digits.front() == ' ')
        digits.erase(0, 1);
    if (static_cast<int>(digits.size()) > width)
        return "%" + signed_decimal_text(value);
    return std::string(static_cast<std::size_t>(width) - digits.size(), ' ') + digits;
}

}  // namespace monitor
