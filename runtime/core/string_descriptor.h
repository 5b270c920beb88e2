// The descriptor in which every string is passed, and the owning kinds.
#pragma once

#include <cstdint>
#include <string_view>

namespace rt {

enum class StringKind : std::uint8_t {
    Constant = 0x00,     // literal in static data; never freed
    Variable = 0x10,     // owns one heap block, or none when empty
    Field = 0x11,        // text lies in a file's record buffer; pushed by value
    Fixed = 0x12,        // fixed-size storage; refused by dynamic assignment
    FixedLength = 0x13,  // fixed-length, space-filled; refused by dynamic assignment
    Temporary = 0x20,    // expression result; owns one heap block while on the stack
};

struct StringDescriptor {
    StringKind kind = StringKind::Variable;
    std::uint32_t length = 0;
    std::uint8_t* text = nullptr;

    std::string_view view() const noexcept
    {
        return length == 0 ? std::string_view{} : std::string_view(reinterpret_cast<const char*>(text), length);
    }
};

// Number type codes shared by arrays, the number loader and the number parser.
namespace type_code {
inline constexpr std::uint8_t kI16 = 0;
inline constexpr std::uint8_t kI32 = 1;
inline constexpr std::uint8_t kSingle = 2;
inline constexpr std::uint8_t kDouble = 3;
inline constexpr std::uint8_t kByte = 4;
inline constexpr std::uint8_t kString = 0x10;
inline constexpr std::uint8_t kFieldString = 0x11;
inline constexpr std::uint8_t kFixedString = 0x12;
inline constexpr std::uint8_t kFixedLengthString = 0x13;
inline constexpr std::uint8_t kObjectRef = 0x40;
}  // namespace type_code

// Truth values of the value model.
inline constexpr std::int16_t kTrue = -1;
inline constexpr std::int16_t kFalse = 0;

}  // namespace rt
