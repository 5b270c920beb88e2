// Functions that cut, build and inspect strings, and the date, time and beep.
//
// The runtime operations take their string operand from the string stack and
// leave string results there as temporaries; numeric arguments come first, as
// the caller evaluated them before building the string operand. Lengths and
// positions count bytes; only UCASE_S and CHAR_COUNT know double-byte characters.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "runtime/core/basic_string.h"

namespace rt {

// Pure text functions (no running program needed).

// a-z changed to A-Z; both bytes of a double-byte character stay as they are.
std::string upper_case(std::string_view text);
void upper_case_in_place(std::span<std::uint8_t> text) noexcept;

struct CharacterCounts {
    std::int32_t single_byte = 0;
    std::int32_t double_byte = 0;
    std::int32_t total() const noexcept { return single_byte + double_byte; }
};
// A lead byte with a byte after it is one double-byte character; every other
// byte, a lead byte at the very end included, is one single-byte character.
CharacterCounts count_characters(std::string_view text) noexcept;

// A local date and time of day.
struct CalendarTime {
    int year = 0;    // e.g. 2003
    int month = 0;   // 1..12
    int day = 0;     // 1..31
    int hour = 0;    // 0..23
    int minute = 0;
    int second = 0;
};
CalendarTime local_calendar_time();

// The date as DATE$ writes it: "yy/mm/dd" for an empty format; otherwise the
// format with yyyy, yy, mm and dd (lower case) replaced, scanning left to right
// and stepping over double-byte characters. The result has the format's length.
std::string date_text(std::string_view format, const CalendarTime& when);
// "hh:mm:ss".
std::string time_text(const CalendarTime& when);

// Runtime operations.

void LEFT_S(std::uint32_t count);                       // first min(count, length) bytes
void RIGHT_S(std::uint32_t count);                      // last min(count, length) bytes
void MID_S(std::uint32_t start, std::uint32_t count);   // from position start (1-based), at most count bytes
void SPACE_S(std::uint32_t count);                      // pushes count spaces; pops nothing
void STRING_S(std::uint32_t count);                     // count copies of the first byte of the popped string
// Pushes the bytes with these codes in the order given (source order); pops nothing.
void CHR_S(std::initializer_list<std::uint32_t> codes);
std::int16_t ASC();                                     // first byte of the popped string
void UCASE_S();
// Mode 0: characters, 1: single-byte characters, 2: double-byte characters.
std::int32_t CHAR_COUNT(std::uint16_t mode);
void DATE_S();                                          // pops the format ("" for the default)
void TIME_S();                                          // pops nothing
void BEEP();

// Expression forms for application code (basic_string.h). Numeric arguments
// are taken when the expression is built, before its string operand is pushed.

template <StringOperand E>
auto left_s(E&& text, std::uint32_t count)
{
    return [s = hold(std::forward<E>(text)), count] { s(); LEFT_S(count); };
}
template <StringOperand E>
auto right_s(E&& text, std::uint32_t count)
{
    return [s = hold(std::forward<E>(text)), count] { s(); RIGHT_S(count); };
}
template <StringOperand E>
auto mid_s(E&& text, std::uint32_t start, std::uint32_t count)
{
    return [s = hold(std::forward<E>(text)), start, count] { s(); MID_S(start, count); };
}
inline auto space_s(std::uint32_t count)
{
    return [count] { SPACE_S(count); };
}
template <StringOperand E>
auto string_s(std::uint32_t count, E&& text)
{
    return [s = hold(std::forward<E>(text)), count] { s(); STRING_S(count); };
}
inline auto chr_s(std::uint32_t code)
{
    return [code] { CHR_S({code}); };
}
template <StringOperand E>
auto ucase_s(E&& text)
{
    return [s = hold(std::forward<E>(text))] { s(); UCASE_S(); };
}
template <StringOperand E>
auto date_s(E&& format)
{
    return [s = hold(std::forward<E>(format))] { s(); DATE_S(); };
}
inline auto time_s()
{
    return [] { TIME_S(); };
}
template <StringOperand E>
std::int16_t asc(E&& text)
{
    push_operand(text);
    return ASC();
}
template <StringOperand E>
std::int32_t char_count(E&& text, std::uint16_t mode)
{
    push_operand(text);
    return CHAR_COUNT(mode);
}

}  // namespace rt
