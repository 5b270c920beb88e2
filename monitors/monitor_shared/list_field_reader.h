// Reads text items from the bytes of a text file the way the runtime's list
// input does for string variables: a field ends at CR (with its LF), at a comma
// or colon outside double quotes, or at the end of the data; blanks before a
// field are skipped; a field that opens with a double quote runs to the next
// one; NUL bytes are dropped; a final 0x1A marks the end of the text.
// Enclosing quotes are removed and trailing blanks of unquoted fields dropped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace monitor {

// Runtime error numbers a field read can end with.
inline constexpr std::uint16_t kErrorOverflow = 6;
inline constexpr std::uint16_t kErrorSubscriptOutOfRange = 9;
inline constexpr std::uint16_t kErrorInputPastEnd = 54;
inline constexpr std::uint16_t kErrorBadField = 58;

struct TextItem {
    std::string text;
    std::uint16_t error = 0;  // 0, kErrorInputPastEnd or kErrorBadField
};

class ListFieldReader {
public:
    explicit ListFieldReader(std::string_view bytes) noexcept : bytes_(bytes) {}

    // End of file as the runtime's EOF sees it: nothing left, or only the
    // final 0x1A.
    bool at_end() const noexcept;

    // The next text item.
    TextItem read_text();

    std::size_t position() const noexcept { return position_; }

private:
    std::string_view bytes_;
    std::size_t position_ = 0;
};

}  // namespace monitor
