#include "monitors/monitor_shared/change_log_file.h"

#include <functional>

#include "monitors/monitor_shared/console_output.h"
#include "runtime/core/error_reason.h"
#include "runtime/core/frame.h"
#include "runtime/core/shift_jis.h"
#include "runtime/core/string_functions.h"
#include "runtime/core/text_from_utf8.h"
#include "runtime/core/user_language.h"
#include "runtime/files/device_table.h"
#include "runtime/files/file_operations.h"

namespace monitor {

using rt::stmt;

namespace {

constexpr int kScreenColumns = 80;
constexpr std::int16_t kAppendMode = 3;
constexpr std::int16_t kShareRead = 1;
constexpr std::string_view kErrorWord = "Error ";

// Runs `body` as one statement with runtime errors trapped. False when it
// failed; `reason` then holds the error's reason line (or its number).
bool run_trapped(const std::function<void()>& body, std::string& reason)
{
    bool failed = false;
    stmt(__LINE__, [&] {
        rt::ON_ERROR_GOTO([&] {
            failed = true;
            reason = rt::current_error_reason();
            if (reason.empty())
                reason = "[" + std::to_string(rt::GET_ERR()) + "]";
            rt::RESUME_NEXT();
        });
    });
    stmt(__LINE__, body);
    stmt(__LINE__, [&] { rt::ON_ERROR_GOTO({}); });
    return !failed;
}

void show_message(ScreenPlace place, std::string_view text)
{
    const std::size_t cells = static_cast<std::size_t>(kScreenColumns - 1 - place.column);
    stmt(__LINE__, [&] { locate(place); });
    stmt(__LINE__, [&] { print(message_row_text(text, cells)); });
}

void report_failure(std::int32_t file_number, ScreenPlace place, const std::string& reason)
{
    stmt(__LINE__, [&] { rt::CLOSE({file_number}); });
    show_message(place, std::string(kErrorWord) + reason);
    stmt(__LINE__, [&] { rt::BEEP(); });
}

// The log file was deleted or replaced and is opened again, in the user's language.
std::string replaced_notice(const std::string& name)
{
    if (rt::user_language() == rt::Language::Japanese)
        return rt::sjis_from_utf8("ログ ") + name +
               rt::sjis_from_utf8(" は削除か置換されました。新しいファイルに続けます");
    return "Log " + name + " was deleted or replaced: logging goes on in a new file";
}

}  // namespace

std::string message_row_text(std::string_view text, std::size_t cells)
{
    std::size_t length = 0;
    while (length < text.size()) {
        const std::size_t step = rt::sjis::character_length(text, length);
        if (length + step > cells)
            break;
        length += step;
    }
    std::string row(text.substr(0, length));
    row.resize(cells, ' ');
    return row;
}

bool open_change_log(std::int32_t file_number, const std::string& name, ScreenPlace message_place)
{
    std::string reason;
    const bool opened = run_trapped(
        [&] {
            rt::push_temp(name);
            rt::OPEN(kAppendMode, kShareRead, file_number);
            if (rt::file_ends_inside_line(file_number))
                print_to_file(file_number, "", kEndLine);
        },
        reason);
    if (!opened)
        report_failure(file_number, message_place, reason);
    return opened;
}

bool append_change_log(std::int32_t file_number, const std::string& name, std::string_view line,
                       ScreenPlace message_place)
{
    bool replaced = false;
    stmt(__LINE__, [&] { replaced = rt::file_replaced_on_disk(file_number); });
    if (replaced) {
        stmt(__LINE__, [&] { rt::CLOSE({file_number}); });
        if (!open_change_log(file_number, name, message_place))
            return false;
        show_message(message_place, replaced_notice(name));
    }
    std::string reason;
    if (run_trapped([&] { print_to_file(file_number, line, kEndLine); }, reason))
        return true;
    report_failure(file_number, message_place, reason);
    return false;
}

}  // namespace monitor
