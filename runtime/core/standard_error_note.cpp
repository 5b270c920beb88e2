#include "runtime/core/standard_error_note.h"

#include "host/code_page.h"
#include "runtime/core/runtime.h"

namespace rt {

void NOTE_ON_STANDARD_ERROR(std::string_view sjis)
{
    Runtime::current().add_closing_note(host::sjis_to_utf8(sjis));
}

}  // namespace rt
