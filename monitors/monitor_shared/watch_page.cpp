#include "monitors/monitor_shared/watch_page.h"

#include <algorithm>

#include "monitors/monitor_shared/console_output.h"
#include "monitors/monitor_shared/protocol.h"
#include "runtime/console/input_statements.h"
#include "runtime/core/error.h"
#include "runtime/core/frame.h"
#include "runtime/core/number_conversions.h"
#include "runtime/core/number_text.h"
#include "runtime/core/shift_jis.h"
#include "runtime/core/string_functions.h"
#include "runtime/core/string_ops.h"
#include "runtime/files/device_table.h"
#include "runtime/files/field_input.h"
#include "runtime/files/file_operations.h"



namespace monitor {

namespace {

constexpr std::uint16_t kSitePosition = 0x0301;
constexpr std::uint16_t kSiteBadCount = 0x0302;
constexpr std::uint16_t kSiteTooManyEntries = 0x0303;
constexpr std::uint16_t kSiteOffScreen = 0x0304;

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
    entry.column_text = std::move(fields[0]);
    entry.row_text = std::move(fields[1]);
    entry.label = std::move(fields[2]);
    entry.address_field = std::move(fields[3]);
    entry.format = std::move(fields[4]);
    entry.column = position_value(entry.column_text);
    entry.row = position_value(entry.row_text);
    if (!watch_request(entry))
        rt::RAISE_ERROR(rt::err::IllegalArgument, kSiteBadCount);
    return entry;
}

void add_watch_entry(WatchPage& page, WatchEntry entry)
{
    if (page.entries.size() >= kWatchEntriesMax)
        rt::RAISE_ERROR(rt::err::SubscriptOutOfRange, kSiteTooManyEntries);
    page.label_width = std::max(page.label_width, display_width(entry.label));
    page.entries.push_back(std::move(entry));
}

void finish_watch_page(WatchPage& page)
{
    for (WatchEntry& entry : page.entries) {
        entry.value_column = entry.column + static_cast<std::int32_t>(page.label_width) + kWatchStaticWidth;
        entry.value_row = entry.row;
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
    const std::string& field = entry.address_field;
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
    std::string text = entry.address_field.substr(0, 4) + ".";
    if (entry.is_port())
        text += "...";
    else if (!entry.address_field.empty())
        text += entry.address_field.substr(entry.address_field.size() - 1) + ".";
    return text + entry.format + " ";
}

std::string typed_file_base(std::string_view typed)
{
    constexpr int kMaxBytes = 8;
    return std::string(fitting_text(typed, kMaxBytes));
}


using rt::stmt;

namespace {

constexpr int kLoadEnd = 1;  // label at the end of the load
constexpr ScreenPlace kLoadClear{1, 3};
constexpr int kLoadClearBlanks = 40;

}  // namespace

std::optional<WatchPage> load_watch_page(const std::string& file_name)
{
    bool failed = false;
    WatchPage page;
    rt::label_scope(kLoadEnd, [&] {
        if (failed)
            return;
        stmt(__LINE__, [&] { rt::CLOSE({kWatchFile}); });
        stmt(__LINE__, [&] {
            rt::ON_ERROR_GOTO([&] {
                stmt(__LINE__, [&] { rt::CLOSE({kWatchFile}); });
                stmt(__LINE__, [&] { failed = true; });
                stmt(__LINE__, [&] { rt::ON_ERROR_GOTO({}); });
                rt::RESUME_LABEL(kLoadEnd);
            });
        });
        stmt(__LINE__, [&] {
            rt::push_temp(file_name);
            rt::OPEN(1, 0, kWatchFile);
        });
        for (;;) {
            bool at_end = false;
            stmt(__LINE__, [&] { at_end = rt::FILE_EOF(kWatchFile) != 0; });
            if (at_end)
                break;
            WatchFields fields;
            stmt(__LINE__, [&] { rt::INPUT_FROM_FILE(kWatchFile); });
            stmt(__LINE__, [&] {
                rt::StrVar items[5];
                const rt::InputTarget targets[5] = {items[0], items[1], items[2], items[3], items[4]};
                rt::INPUT_VARS(targets);
                for (std::size_t i = 0; i < fields.size(); ++i)
                    fields[i] = items[i].str();
            });
            stmt(__LINE__, [&] { add_watch_entry(page, make_watch_entry(std::move(fields))); });
        }
        stmt(__LINE__, [&] { finish_watch_page(page); });
        stmt(__LINE__, [&] { rt::CLOSE({kWatchFile}); });
        stmt(__LINE__, [&] { rt::ON_ERROR_GOTO({}); });
    });
    if (failed)
        return std::nullopt;
    stmt(__LINE__, [&] { locate(kLoadClear); });
    stmt(__LINE__, [&] { print_blanks(kLoadClearBlanks, kEndLine); });
    return page;
}

void draw_watch_entries(const WatchPage& page)
{
    for (const WatchEntry& entry : page.entries) {
        stmt(__LINE__, [&] { locate(label_place(entry)); });
        stmt(__LINE__, [&] { print(text_to_row_end(entry.label, label_place(entry))); });
        stmt(__LINE__, [&] { locate(static_text_place(entry, page)); });
        stmt(__LINE__, [&] { print(text_to_row_end(watch_static_text(entry), static_text_place(entry, page))); });
    }
}

void show_watch_value(const WatchEntry& entry, std::string_view reply, MonitorKind monitor,
                      std::int16_t byte_order_setting, ValueContext context)
{
    const std::optional<ValueOutput> output = watch_value_output(entry.format, reply, monitor, byte_order_setting, context);
    if (!output)
        return;
    if (output->erase_blanks > 0) {
        stmt(__LINE__, [&] { print_blanks(output->erase_blanks); });
        stmt(__LINE__, [&] {
            const ScreenPlace place = value_place(entry);
            locate(place.column + output->locate_shift, place.row);
        });
    }
    const std::string_view text =
        context == ValueContext::WatchPage ? text_to_row_end(output->text, value_place(entry)) : output->text;
    stmt(__LINE__, [&] { print(text, output->line_end ? kEndLine : kNoEnd); });
}

}  // namespace monitor
