// The message library: a shared object in the installation directory that
// supplies the text of an error number. It is loaded only while a text is
// needed and is optional: without it reports show the number alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rt {

inline constexpr std::string_view kMessageLibraryFile = "Q7R2ER50.DLL";
inline constexpr const char* kMessageFunctionName = "$PbGetErrMsg";

// The exported lookup: writes a NUL-terminated Shift-JIS text of at most
// size - 1 bytes into `buffer` and returns nonzero, or returns 0.
extern "C" {
using GetErrorMessageFunction = std::int32_t (*)(void* library, std::uint16_t number, char* buffer,
                                                 std::uint16_t size);
}

// Buffer sizes of the console report and of the message box.
inline constexpr std::size_t kConsoleMessageBuffer = 260;
inline constexpr std::size_t kBoxMessageBuffer = 256;

// The text of error `number` from the library at `library_path`; nullopt when
// the library or its lookup is missing or it has no text.
std::optional<std::string> message_text_from(const std::string& library_path, std::uint16_t number,
                                             std::size_t buffer_size);

// The folders searched for the library when the settings file names no
// installation directory, each ending with "/": the executable's own folder
// (a build tree, an unpacked archive), then the installed library folder
// "<prefix>/lib/qkmonitors/" for an executable in "<prefix>/bin/".
std::vector<std::string> message_library_folders(const std::string& executable_path);

// The text from the library of the installation directory named by the
// settings value ENV / Kaxel. The file name is appended to that value as it
// stands (the directory is stored with its trailing separator); a value
// longer than 260 bytes gives no text. Without the value the folders of
// message_library_folders are tried in order.
std::optional<std::string> error_message_text(std::uint16_t number, std::size_t buffer_size);

}  // namespace rt
