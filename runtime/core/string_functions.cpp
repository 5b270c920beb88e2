#include "string_functions.h"

#include <array>
#include <cstdio>
#include <ctime>
#include <new>

#include "error.h"
#include "host/desktop.h"
#include "runtime.h"
#include "shift_jis.h"
#include "string_ops.h"

namespace rt {

namespace {

// Site codes: operation in the high byte, check in the low byte.
constexpr std::uint16_t kSiteLeftCount = 0xA001;
constexpr std::uint16_t kSiteLeftMemory = 0xA002;
constexpr std::uint16_t kSiteRightCount = 0xA101;
constexpr std::uint16_t kSiteRightMemory = 0xA102;
constexpr std::uint16_t kSiteMidRange = 0xA201;
constexpr std::uint16_t kSiteMidMemory = 0xA202;
constexpr std::uint16_t kSiteSpaceCount = 0xA301;
constexpr std::uint16_t kSiteSpaceMemory = 0xA302;
constexpr std::uint16_t kSiteStringArgument = 0xA401;
constexpr std::uint16_t kSiteStringMemory = 0xA402;
constexpr std::uint16_t kSiteChrCode = 0xA501;
constexpr std::uint16_t kSiteChrMemory = 0xA502;
constexpr std::uint16_t kSiteAscEmpty = 0xA601;
constexpr std::uint16_t kSiteUcaseMemory = 0xA701;
constexpr std::uint16_t kSiteCharCountMode = 0xA801;
constexpr std::uint16_t kSiteDateMemory = 0xAC01;

// Largest count or position a string function accepts.
constexpr std::uint32_t kMaxLength = 2'147'483'647;

// Releases the popped operand, then raises: no heap block is left behind.
[[noreturn]] void raise_releasing(PoppedString& operand, std::uint16_t number, std::uint16_t site)
{
    operand.release();
    RAISE_ERROR(number, site);
}

// Builds a result with `make`; a failed allocation raises error 7.
template <class Make>
std::string build(std::uint16_t memory_site, Make&& make)
{
    try {
        return make();
    } catch (const std::bad_alloc&) {
        RAISE_ERROR(err::OutOfMemory, memory_site);
    }
}

// The operand is released before the result is pushed, because making the
// new temporary may move the heap text the operand points into.
void push_result(PoppedString& operand, const std::string& result)
{
    operand.release();
    push_temp(result);
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

std::string upper_case(std::string_view text)
{
    std::string result(text);
    for (std::size_t i = 0; i < result.size();) {
        std::size_t step = sjis::character_length(result, i);
        if (step == 1 && result[i] >= 'a' && result[i] <= 'z')
            result[i] = static_cast<char>(result[i] - 0x20);
        i += step;
    }
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
        raise_releasing(operand, err::IllegalArgument, kSiteLeftCount);
    std::string result = build(kSiteLeftMemory, [&] { return std::string(operand.view().substr(0, count)); });
    push_result(operand, result);
}

void RIGHT_S(std::uint32_t count)
{
    PoppedString operand;
    if (count > kMaxLength)
        raise_releasing(operand, err::IllegalArgument, kSiteRightCount);
    std::string_view text = operand.view();
    std::size_t take = std::min<std::size_t>(count, text.size());
    std::string result = build(kSiteRightMemory, [&] { return std::string(text.substr(text.size() - take)); });
    push_result(operand, result);
}

void MID_S(std::uint32_t start, std::uint32_t count)
{
    PoppedString operand;
    if (start == 0 || start > kMaxLength || count > kMaxLength)
        raise_releasing(operand, err::IllegalArgument, kSiteMidRange);
    std::string_view text = operand.view();
    std::string result;
    if (start <= text.size())
        result = build(kSiteMidMemory, [&] { return std::string(text.substr(start - 1, count)); });
    push_result(operand, result);
}

void SPACE_S(std::uint32_t count)
{
    if (count > kMaxLength)
        RAISE_ERROR(err::IllegalArgument, kSiteSpaceCount);
    push_temp(build(kSiteSpaceMemory, [&] { return std::string(count, ' '); }));
}

void STRING_S(std::uint32_t count)
{
    PoppedString operand;
    if (operand.view().empty() || count > kMaxLength)
        raise_releasing(operand, err::IllegalArgument, kSiteStringArgument);
    char byte = operand.view().front();
    operand.release();
    push_temp(build(kSiteStringMemory, [&] { return std::string(count, byte); }));
}

void CHR_S(std::initializer_list<std::uint32_t> codes)
{
    for (std::uint32_t code : codes)
        if (code > 0xFF)
            RAISE_ERROR(err::IllegalArgument, kSiteChrCode);
    push_temp(build(kSiteChrMemory, [&] {
        std::string bytes;
        for (std::uint32_t code : codes)
            bytes.push_back(static_cast<char>(code));
        return bytes;
    }));
}

std::int16_t ASC()
{
    PoppedString operand;
    if (operand.view().empty())
        raise_releasing(operand, err::IllegalArgument, kSiteAscEmpty);
    return static_cast<std::uint8_t>(operand.view().front());
}

void UCASE_S()
{
    PoppedString operand;
    std::string result = build(kSiteUcaseMemory, [&] { return upper_case(operand.view()); });
    push_result(operand, result);
}

std::int32_t CHAR_COUNT(std::uint16_t mode)
{
    PoppedString operand;
    if (mode > 2)
        raise_releasing(operand, err::IllegalArgument, kSiteCharCountMode);
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
    std::string result = build(kSiteDateMemory, [&] { return date_text(format.view(), local_calendar_time()); });
    push_result(format, result);
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
