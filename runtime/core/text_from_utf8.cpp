#include "runtime/core/text_from_utf8.h"

#include "host/code_page.h"

namespace rt {

std::string sjis_from_utf8(std::string_view utf8)
{
    return host::utf8_to_sjis(utf8);
}

}  // namespace rt
