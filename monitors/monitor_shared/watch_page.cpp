#include "watch_page.h"

#include <algorithm>

#include "protocol.h"
#include "runtime/core/error.h"
#include "runtime/core/number_conversions.h"
#include "runtime/core/number_text.h"
#include "runtime/core/shift_jis.h"
#include "runtime/core/string_functions.h"

namespace monitor {

namespace {

constexpr std::uint16_t kSitePosition = 0x0301;
constexpr std::uint16_t kSiteBadCount = 0x0302;
constexpr std::uint16_t kSiteTooManyEntries = 0x0303;
constexpr std::uint16_t kSiteOffScreen = 0x0304;

constexpr int kScreenColumns = 80;
constexpr int kScreenRows = 24;

std::optional<int> hex_digit_value(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return std::nullopt;
}

std::int16_t position_value(std::string_view text)
{
    const rt::ParsedNumber number = rt::parse_number(text);
    if (!number.representable)
        rt::RAISE_ERROR(rt::err::Overflow, kSitePosition);
    return rt::REAL_TO_I16_CHECK(number.value);
}

std::size_t display_width(std::string_view label)
{
    const rt::CharacterCounts counts = rt::count_characters(label);
    return static_cast<std::size_t>(2 * counts.double_byte + counts.single_byte);
}

}  // namespace

WatchEntry make_watch_entry(WatchFields fields)
{
    WatchEntry entry;
    entry.columnText = std::move(fields[0]);
    entry.rowText = std::move(fields[1]);
    entry.label = std::move(fields[2]);
    entry.addressField = std::move(fields[3]);
    entry.format = std::move(fields[4]);
    entry.column = position_value(entry.columnText);
    entry.row = position_value(entry.rowText);
    if (!watch_request(entry))
        rt::RAISE_ERROR(rt::err::IllegalArgument, kSiteBadCount);
    return entry;
}

void add_watch_entry(WatchPage& page, WatchEntry entry)
{
    if (page.entries.size() >= kWatchEntriesMax)
        rt::RAISE_ERROR(rt::err::SubscriptOutOfRange, kSiteTooManyEntries);
    page.labelWidth = std::max(page.labelWidth, display_width(entry.label));
    page.entries.push_back(std::move(entry));
}

void finish_watch_page(WatchPage& page)
{
    for (WatchEntry& entry : page.entries) {
        entry.valueColumn = entry.column + static_cast<std::int32_t>(page.labelWidth) + kWatchStaticWidth;
        entry.valueRow = entry.row;
        // The label is printed at its place, the value one column right of
        // the value column; everything between lies on the same row.
        const bool fits = entry.column >= 0 && entry.row >= 0 && entry.row < kScreenRows &&
                          value_place(entry).column < kScreenColumns;
        if (!fits)
            rt::RAISE_ERROR(rt::err::IllegalArgument, kSiteOffScreen);
    }
}

std::optional<std::string> watch_request(const WatchEntry& entry)
{
    const std::string& field = entry.addressField;
    if (field.empty())
        return std::nullopt;
    if (entry.is_port()) {
        std::string request = field.size() >= 2 ? field.substr(field.size() - 2) : field;
        request.push_back(static_cast<char>(code::kPortIn));
        return request;
    }
    const auto count = hex_digit_value(field.back());
    if (!count)
        return std::nullopt;
    std::string request = field.substr(0, 4);
    request.push_back(static_cast<char>(*count == 0 ? code::kRead16 : (*count - 1) | code::kFirstSizedRead));
    return request;
}

std::string watch_static_text(const WatchEntry& entry)
{
    std::string text = entry.addressField.substr(0, 4) + ".";
    if (entry.is_port())
        text += "...";
    else if (!entry.addressField.empty())
        text += entry.addressField.substr(entry.addressField.size() - 1) + ".";
    return text + entry.format + " ";
}

std::string typed_file_base(std::string_view typed)
{
    constexpr std::size_t kMaxBytes = 8;
    std::size_t end = 0;
    while (end < typed.size()) {
        const std::size_t length = rt::sjis::character_length(typed, end);
        if (end + length > kMaxBytes)
            break;
        end += length;
    }
    return std::string(typed.substr(0, end));
}

}  // namespace monitor
