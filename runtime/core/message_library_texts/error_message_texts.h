// The texts of the message library, by error number.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/core/user_language.h"

namespace qk_messages {

// Shift-JIS text of error `number` in `language`; empty when the library has none.
std::string_view error_message_text(std::uint16_t number, rt::Language language) noexcept;

}  // namespace qk_messages
