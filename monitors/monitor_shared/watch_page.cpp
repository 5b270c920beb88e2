#include "monitors/monitor_shared/watch_page.h"

#include <algorithm>

#include "monitors/monitor_shared/console_output.h"
#include "monitors/monitor_shared/protocol.h"
#include "runtime/console/input_statements.h"
#include "runtime/core/error.h"
#include "runtime/core/error_reason.h"
#include "runtime/core/frame.h"
#include "runtime/core/number_conversions.h"
#include "runtime/core/number_text.h"
#include "runtime/core/shift_jis.h"
#include "runtime/core/string_functions.h"
#include "runtime/core/string_ops.h"
#include "runtime/core/text_from_utf8.h"
#include "runtime/core/user_language.h"
#include "runtime/files/device_table.h"
#include "runtime/files/field_input.h"
#include "runtime/files/file_operations.h"



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

std::int16_t position_value(std::string_view text)
{
    const rt::ParsedNumber number = rt::parse_number(text);
    if (!number.representable)
        rt::RAISE_ERROR(rt::err::kOverflow, watch_site::kPosition);
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
    const std::size_t longest = entry.is_port() ? kPortAddressFieldMax : kMemoryAddressFieldMax;
    if (entry.address_field.size() > longest)
        rt::RAISE_ERROR(rt::err::kIllegalArgument, watch_site::kAddressTooLong);
    if (!watch_request(entry))
        rt::RAISE_ERROR(rt::err::kIllegalArgument, watch_site::kBadCount);
    return entry;
}

void add_watch_entry(WatchPage& page, WatchEntry entry)
{
    if (page.entries.size() >= kWatchEntriesMax)
        rt::RAISE_ERROR(rt::err::kSubscriptOutOfRange, watch_site::kTooManyEntries);
    if (entry.row < kWorkAreaFirstRow || entry.row > kWorkAreaLastRow)
        rt::RAISE_ERROR(rt::err::kIllegalArgument, watch_site::kOffWorkArea);
    if (entry.column < 0 || entry.column >= kScreenColumns)
        rt::RAISE_ERROR(rt::err::kIllegalArgument, watch_site::kOffScreen);
    page.label_width = std::max(page.label_width, display_width(entry.label));
    page.entries.push_back(std::move(entry));
}

void finish_watch_page(WatchPage& page)
{
    for (WatchEntry& entry : page.entries) {
        entry.value_column = entry.column + static_cast<std::int32_t>(page.label_width) + kWatchStaticWidth;
        entry.value_row = entry.row;
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

// What a trapped load failure says after the file's name, in the user's
// language (UTF-8; `entry` is the refused one where there is one).
struct ProblemWording {
    std::string_view line;        // between the file's name and the line number
    std::string_view line_after;  // after the line number
    std::string_view row_outside;     // %d: the row
    std::string_view column_outside;  // %d: the column
    std::string_view address_too_long;
    std::string_view no_count;
    std::string_view position_not_number;
    std::string_view too_many_entries;
    std::string_view ends_inside_entry;
    std::string_view error_number;  // %d: the error number
};

constexpr ProblemWording kEnglish{
    " line ",
    "",
    "row %d is outside the work area (rows 2-18)",
    "column %d is off the screen (0-79)",
    "the address field is too long",
    "the address field has no count digit",
    "the column or row is not a number of 16 bits",
    "more than 51 entries",
    "the file ends inside an entry",
    "error [%d]",
};

constexpr ProblemWording kJapanese{
    " ",
    " 行目",
    "行位置 %d は作業領域 (2～18 行) の外です",
    "桁位置 %d は画面 (0～79) の外です",
    "アドレス欄が長すぎます",
    "アドレス欄に個数の桁がありません",
    "桁位置か行位置が 16 ビットの数ではありません",
    "エントリが 51 を超えています",
    "エントリの途中でファイルが終わっています",
    "エラー [%d]",
};

std::string with_number(std::string_view pattern, int number)
{
    std::string text(pattern);
    if (const std::size_t at = text.find("%d"); at != std::string::npos)
        text.replace(at, 2, std::to_string(number));
    return text;
}

std::string problem_text(const std::string& file_name, const rt::TrappedError& error, std::int32_t line,
                         const std::optional<WatchEntry>& entry)
{
    const ProblemWording& w = rt::user_language() == rt::Language::Japanese ? kJapanese : kEnglish;
    if (!error.reason.empty())
        return file_name + ": " + error.reason;
    std::string why;
    switch (error.site) {
    case watch_site::kOffWorkArea:
        why = with_number(w.row_outside, entry ? entry->row : 0);
        break;
    case watch_site::kOffScreen:
        why = with_number(w.column_outside, entry ? entry->column : 0);
        break;
    case watch_site::kAddressTooLong:
        why = w.address_too_long;
        break;
    case watch_site::kBadCount:
        why = w.no_count;
        break;
    case watch_site::kPosition:
        why = w.position_not_number;
        break;
    case watch_site::kTooManyEntries:
        why = w.too_many_entries;
        break;
    default:
        why = error.number == rt::err::kDeviceIoError || error.number == rt::err::kInputPastEnd
                  ? std::string(w.ends_inside_entry)
                  : with_number(w.error_number, error.number);
        break;
    }
    std::string where = file_name;
    if (line > 0)
        where += std::string(w.line) + std::to_string(line) + std::string(w.line_after);
    return where + ": " + rt::sjis_from_utf8(why);
}

}  // namespace

WatchFileLoad load_watch_page(const std::string& file_name)
{
    WatchFileLoad load;
    bool failed = false;
    bool opened = false;
    WatchPage page;
    std::optional<WatchEntry> entry;  // the entry being added
    std::uint32_t entry_start = 0;    // where its fields begin in the file
    rt::label_scope(kLoadEnd, [&] {
        if (failed)
            return;
        stmt(__LINE__, [&] { rt::CLOSE({kWatchFile}); });
        stmt(__LINE__, [&] {
            rt::ON_ERROR_GOTO([&] {
                const rt::TrappedError error = rt::current_trapped_error();
                std::int32_t line = 0;
                if (opened)
                    stmt(__LINE__, [&] { line = rt::input_line_at(kWatchFile, entry_start); });
                stmt(__LINE__, [&] { load.problem = problem_text(file_name, error, line, entry); });
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
        stmt(__LINE__, [&] { opened = true; });
        stmt(__LINE__, [&] { rt::read_utf8_as_shift_jis(kWatchFile); });
        for (;;) {
            bool at_end = false;
            stmt(__LINE__, [&] { at_end = rt::FILE_EOF(kWatchFile) != 0; });
            if (at_end)
                break;
            WatchFields fields;
            stmt(__LINE__, [&] {
                entry.reset();
                entry_start = rt::input_position(kWatchFile);
            });
            stmt(__LINE__, [&] { rt::INPUT_FROM_FILE(kWatchFile); });
            stmt(__LINE__, [&] {
                rt::StrVar items[5];
                const rt::InputTarget targets[5] = {items[0], items[1], items[2], items[3], items[4]};
                rt::INPUT_VARS(targets);
                for (std::size_t i = 0; i < fields.size(); ++i)
                    fields[i] = items[i].str();
            });
            stmt(__LINE__, [&] { entry = make_watch_entry(std::move(fields)); });
            stmt(__LINE__, [&] { add_watch_entry(page, *entry); });
        }
        stmt(__LINE__, [&] { finish_watch_page(page); });
        stmt(__LINE__, [&] { rt::CLOSE({kWatchFile}); });
        stmt(__LINE__, [&] { rt::ON_ERROR_GOTO({}); });
    });
    if (failed)
        return load;
    stmt(__LINE__, [&] { locate(kLoadClear); });
    stmt(__LINE__, [&] { print_blanks(kLoadClearBlanks, kEndLine); });
    load.page = std::move(page);
    return load;
}

void draw_watch_entries(const WatchPage& page)
{
    for (const WatchEntry& entry : page.entries) {
        stmt(__LINE__, [&] { locate(label_place(entry)); });
        stmt(__LINE__, [&] { print(text_to_row_end(entry.label, label_place(entry))); });
        if (static_text_place(entry, page).column >= kScreenColumns)
            continue;  // the label's row is full
        stmt(__LINE__, [&] { locate(static_text_place(entry, page)); });
        stmt(__LINE__, [&] { print(text_to_row_end(watch_static_text(entry), static_text_place(entry, page))); });
    }
}

void show_watch_value(const WatchEntry& entry, std::string_view reply, const BoardDescription& board,
                      std::int16_t byte_order_setting, ValueContext context)
{
    const bool on_page = context == ValueContext::WatchPage;
    if (on_page && !value_on_screen(entry))
        return;
    const std::optional<ValueOutput> output = watch_value_output(entry.format, reply, board, byte_order_setting, context);
    if (!output)
        return;
    if (output->erase_blanks > 0) {
        const int blanks = on_page ? std::min(output->erase_blanks, kScreenColumns - value_place(entry).column)
                                   : output->erase_blanks;
        stmt(__LINE__, [&] { print_blanks(blanks); });
        stmt(__LINE__, [&] {
            const ScreenPlace place = value_place(entry);
            locate(place.column + output->locate_shift, place.row);
        });
    }
    const std::string_view text = on_page ? text_to_row_end(output->text, value_place(entry)) : output->text;
    stmt(__LINE__, [&] { print(text, output->line_end ? kEndLine : kNoEnd); });
}

}  // namespace monitor
