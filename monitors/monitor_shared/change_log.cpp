#include "monitors/monitor_shared/change_log.h"

#include "monitors/monitor_shared/watch_page.h"
#include "monitors/monitor_shared/watch_value.h"

namespace monitor {

std::string change_log_line(std::uint32_t change_number, std::string_view date, std::string_view time,
                            std::string_view reply)
{
    std::string number = "000" + std::to_string(change_number);
    number = number.substr(number.size() - 4);
    std::string line = number;
    line.append(",").append(date).append(",").append(time).append(",").append(reply);
    return line;
}

std::optional<std::uint32_t> note_change(std::string& last_value, ChangeCounter& counter, std::string_view reply)
{
    if (reply == last_value)
        return std::nullopt;
    last_value = std::string(reply);
    return counter.next();
}

std::string change_row_text(std::uint32_t change_number, int picture_width, std::string_view date, std::string_view time,
                            std::string_view label, std::string_view value_text)
{
    std::string row = change_number_text(change_number, picture_width);
    row.append(" ").append(date).append(" ").append(time).append(" ").append(label).append(" ").append(value_text);
    return row;
}

std::string change_number_text(std::uint32_t change_number, int picture_width)
{
    return picture_number(static_cast<double>(change_number), picture_width);
}

LogRequest parse_log_request(std::string_view typed)
{
    LogRequest request;
    if (typed.size() >= 2 && typed[typed.size() - 2] == '/') {
        const char suffix = typed.back();
        if (suffix == 'F' || suffix == 'f' || suffix == 'D' || suffix == 'd') {
            request.logging = true;
            request.recreate = suffix == 'D' || suffix == 'd';
            typed.remove_suffix(2);
        }
    }
    request.base_name = typed_file_base(typed);
    return request;
}

}  // namespace monitor
