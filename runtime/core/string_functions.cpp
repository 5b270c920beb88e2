#include "runtime/core/string_functions.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <cstdio>
#include <ctime>
#include <new>

#include "host/desktop.h"
#include "runtime/core/error.h"
#include "runtime/core/runtime.h"
#include "runtime/core/shift_jis.h"
#include "runtime/core/string_heap.h"
#include "runtime/core/string_ops.h"
#include "runtime/core/string_stack.h"

namespace rt {

namespace {

// Site codes: operation in the high byte, check in the low byte.
namespace site {
inline constexpr std::uint16_t kLeftCount = 0xA001;
inline constexpr std::uint16_t kRightCount = 0xA101;
inline constexpr std::uint16_t kMidRange = 0xA201;
inline constexpr std::uint16_t kSpaceCount = 0xA301;
inline constexpr std::uint16_t kStringArgument = 0xA401;
inline constexpr std::uint16_t kChrCode = 0xA501;
inline constexpr std::uint16_t kAscEmpty = 0xA601;
inline constexpr std::uint16_t kCharCountMode = 0xA801;
inline constexpr std::uint16_t kDateMemory = 0xAC01;
}  // namespace site

// Largest count or position a string function accepts.
constexpr std::uint32_t kMaxLength = 2'147'483'647;

// Releases the popped operand, then raises: no heap block is left behind.
[[noreturn]] void raise_releasing(PoppedString& operand, std::uint16_t number, std::uint16_t site)
{
    operand.release();
    RAISE_ERROR(number, site);
}

// Pushes a new temporary of `length` bytes and returns its text to fill.
std::uint8_t* push_result(std::size_t length)
{
    Runtime& runtime = Runtime::current();
    return runtime.string_stack().push_new_temp(runtime.heap(), static_cast<std::uint32_t>(length), nullptr);
}

// Pushes `count` bytes of the operand from `offset`. The operand keeps its
// block until the result exists, so its text is read after any compaction
// the allocation caused.
void push_part(const PoppedString& operand, std::size_t offset, std::size_t count)
{
    std::uint8_t* out = push_result(count);
    if (count != 0)
        std::memcpy(out, operand.view().data() + offset, count);
}

std::string two_digits(int value)
{
    std::array<char, 16> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%02u", static_cast<unsigned>(value) % 100U);
    return buffer.data();
}

std::string four_digits(int value)
{
    std::array<char, 16> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%04u", static_cast<unsigned>(value) % 10000U);
    return buffer.data();
}

}  // namespace

void upper_case_in_place(std::span<std::uint8_t> text) noexcept
{
    for (std::size_t i = 0; i < text.size();) {
        bool pair = sjis::is_lead_byte(text[i]) && i + 1 < text.size();
        if (!pair && text[i] >= 'a' && text[i] <= 'z')
            text[i] = static_cast<std::uint8_t>(text[i] - 0x20);
        i += pair ? 2 : 1;
    }
}

std::string upper_case(std::string_view text)
{
    std::string result(text);
    upper_case_in_place(std::span(reinterpret_cast<std::uint8_t*>(result.data()), result.size()));
    return result;
}

CharacterCounts count_characters(std::string_view text) noexcept
{
    CharacterCounts counts;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t step = sjis::character_length(text, i);
        ++(step == 2 ? counts.double_byte : counts.single_byte);
        i += step;
    }
    return counts;
}

CalendarTime local_calendar_time()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

std::string date_text(std::string_view format, const CalendarTime& when)
{
    if (format.empty())
        return two_digits(when.year) + "/" + two_digits(when.month) + "/" + two_digits(when.day);
    std::string result;
    result.reserve(format.size());
    for (std::size_t i = 0; i < format.size();) {
        std::string_view rest = format.substr(i);
        std::size_t step = sjis::character_length(format, i);
        if (step == 2) {
            result += rest.substr(0, 2);
        } else if (rest.starts_with("yyyy")) {
            result += four_digits(when.year);
            step = 4;
        } else if (rest.starts_with("yy")) {
            result += two_digits(when.year);
            step = 2;
        } else if (rest.starts_with("mm")) {
            result += two_digits(when.month);
            step = 2;
        } else if (rest.starts_with("dd")) {
            result += two_digits(when.day);
            step = 2;
        } else {
            result += rest.front();
        }
        i += step;
    }
    return result;
}

std::string time_text(const CalendarTime& when)
{
    return two_digits(when.hour) + ":" + two_digits(when.minute) + ":" + two_digits(when.second);
}

void LEFT_S(std::uint32_t count)
{
    PoppedString operand;
    if (count > kMaxLength)
        raise_releasing(operand, err::kIllegalArgument, site::kLeftCount);
    push_part(operand, 0, std::min<std::size_t>(count, operand.length()));
}

void RIGHT_S(std::uint32_t count)
{
    PoppedString operand;
    if (count > kMaxLength)
        raise_releasing(operand, err::kIllegalArgument, site::kRightCount);
    std::size_t take = std::min<std::size_t>(count, operand.length());
    push_part(operand, operand.length() - take, take);
}

void MID_S(std::uint32_t start, std::uint32_t count)
{
    PoppedString operand;
    if (start == 0 || start > kMaxLength || count > kMaxLength)
        raise_releasing(operand, err::kIllegalArgument, site::kMidRange);
    std::size_t length = operand.length();
    if (start > length)
        push_part(operand, 0, 0);
    else
        push_part(operand, start - 1, std::min<std::size_t>(count, length - (start - 1)));
}

void SPACE_S(std::uint32_t count)
{
    if (count > kMaxLength)
        RAISE_ERROR(err::kIllegalArgument, site::kSpaceCount);
    std::uint8_t* out = push_result(count);
    if (count != 0)
        std::memset(out, ' ', count);
}

void STRING_S(std::uint32_t count)
{
    PoppedString operand;
    if (operand.length() == 0 || count > kMaxLength)
        raise_releasing(operand, err::kIllegalArgument, site::kStringArgument);
    char byte = operand.view().front();
    operand.release();
    std::uint8_t* out = push_result(count);
    if (count != 0)
        std::memset(out, static_cast<unsigned char>(byte), count);
}

void CHR_S(std::initializer_list<std::uint32_t> codes)
{
    for (std::uint32_t code : codes)
        if (code > 0xFF)
            RAISE_ERROR(err::kIllegalArgument, site::kChrCode);
    std::uint8_t* out = push_result(codes.size());
    for (std::uint32_t code : codes)
        *out++ = static_cast<std::uint8_t>(code);
}

std::int16_t ASC()
{
    PoppedString operand;
    if (operand.view().empty())
        raise_releasing(operand, err::kIllegalArgument, site::kAscEmpty);
    return static_cast<std::uint8_t>(operand.view().front());
}

void UCASE_S()
{
    PoppedString operand;
    std::size_t length = operand.length();
    std::uint8_t* out = push_result(length);
    if (length != 0) {
        std::memcpy(out, operand.view().data(), length);
        upper_case_in_place(std::span(out, length));
    }
}

std::int32_t CHAR_COUNT(std::uint16_t mode)
{
    PoppedString operand;
    if (mode > 2)
        raise_releasing(operand, err::kIllegalArgument, site::kCharCountMode);
    CharacterCounts counts = count_characters(operand.view());
    switch (mode) {
    case 1:
        return counts.single_byte;
    case 2:
        return counts.double_byte;
    default:
        return counts.total();
    }
}

void DATE_S()
{
    PoppedString format;
    std::string result;
    try {
        result = date_text(format.view(), local_calendar_time());
    } catch (const std::bad_alloc&) {
        raise_releasing(format, err::kOutOfMemory, site::kDateMemory);
    }
    format.release();
    push_temp(result);
}

void TIME_S()
{
    push_temp(time_text(local_calendar_time()));
}

void BEEP()
{
    Runtime::current().desktop().bell();
}

}  // namespace rt
