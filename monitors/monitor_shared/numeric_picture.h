// A numeric picture of n "#" characters: the value right-aligned in n
// columns, a negative sign taking one of them; a value that does not fit is
// shown as "%" followed by its plain decimal text (with a leading blank when
// not negative).
#pragma once

#include <string>

namespace monitor {

std::string picture_number(double value, int width);

// Decimal text of a value with a leading blank when not negative, as the
// runtime's number-to-text conversion writes it.
std::string signed_decimal_text(double value);

}  // namespace monitor
