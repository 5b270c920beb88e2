// Texts the program shows, written in the source as UTF-8: the program's own
// text is Shift-JIS, so such a text is converted where it is made.
#pragma once

#include <string>
#include <string_view>

namespace rt {

// `utf8` in Shift-JIS; a character Shift-JIS lacks becomes "?".
std::string sjis_from_utf8(std::string_view utf8);

}  // namespace rt
