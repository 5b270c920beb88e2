// Shift-JIS program text as UTF-8, for what a program writes to standard
// output and standard error itself (the console converts its own output).
#pragma once

#include <string>
#include <string_view>

#include "host/code_page.h"

namespace rt {

inline std::string utf8_text(std::string_view sjis)
{
    return host::sjis_to_utf8(sjis);
}

}  // namespace rt
