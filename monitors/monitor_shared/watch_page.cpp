#include "watch_page.h"

#include <algorithm>

#include "list_field_reader.h"
#include "number_text.h"
#include "protocol.h"
#include "shift_jis_text.h"

namespace monitor {

namespace {

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

std::optional<std::int16_t> position_value(const std::string& text)
{
    const auto value = value_of_text(text);
    return value ? round_to_int16(*value) : std::nullopt;
}

WatchFileResult failed(WatchFileFault fault, std::size_t entry)
{
    WatchFileResult result;
    result.fault = fault;
    result.faultEntry = entry;
    return result;
}

}  // namespace

WatchFileResult load_watch_file(std::string_view bytes)
{
    WatchFileResult result;
    ListFieldReader reader(bytes);
    while (!reader.at_end()) {
        const std::size_t index = result.page.entries.size();
        if (index == kWatchEntriesMax)
            return failed(WatchFileFault::TooManyEntries, index);
        WatchEntry entry;
        for (std::string* field : {&entry.columnText, &entry.rowText, &entry.label, &entry.addressField, &entry.format}) {
            TextItem item = reader.read_text();
            if (item.error != 0)
                return failed(item.error == kErrorInputPastEnd ? WatchFileFault::MissingFields : WatchFileFault::BadField,
                              index);
            *field = std::move(item.text);
        }
        const auto column = position_value(entry.columnText);
        const auto row = position_value(entry.rowText);
        if (!column || !row)
            return failed(WatchFileFault::PositionOverflow, index);
        entry.column = *column;
        entry.row = *row;
        if (!watch_request(entry))
            return failed(WatchFileFault::BadCount, index);
        result.page.labelWidth = std::max(result.page.labelWidth, display_width(entry.label));
        result.page.entries.push_back(std::move(entry));
    }
    for (auto& entry : result.page.entries) {
        entry.valueColumn = entry.column + static_cast<std::int32_t>(result.page.labelWidth) + kWatchStaticWidth;
        entry.valueRow = entry.row;
    }
    return result;
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
    return std::string(cut_to_characters(typed, 8));
}

}  // namespace monitor
