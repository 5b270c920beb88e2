// The exported lookup of the message library.
#include <cstring>
#include <type_traits>

#include "runtime/core/message_library.h"
#include "runtime/core/message_library_texts/error_message_texts.h"
#include "runtime/core/shift_jis.h"

extern "C" __attribute__((visibility("default"))) std::int32_t get_error_message(
    void* library, std::uint16_t number, char* buffer, std::uint16_t size) __asm__("$PbGetErrMsg");

static_assert(std::is_same_v<decltype(&get_error_message), rt::GetErrorMessageFunction>);

// Writes the NUL-terminated text of `number`, in the language of the user's
// locale, into `buffer`. A text longer than
// the buffer is cut before the last whole character that fits. Returns 1 when
// a text was written, 0 when there is none (or no room at all).
extern "C" std::int32_t get_error_message(void* /*library*/, std::uint16_t number, char* buffer, std::uint16_t size)
{
    const std::string_view text = qk_messages::error_message_text(number, rt::user_language());
    if (text.empty() || !buffer || size < 2)
        return 0;
    std::size_t length = 0;
    while (length < text.size()) {
        const std::size_t step = rt::sjis::character_length(text, length);
        if (length + step > std::size_t(size) - 1)
            break;
        length += step;
    }
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return 1;
}
