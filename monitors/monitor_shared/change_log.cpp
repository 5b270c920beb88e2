#include "change_log.h"

#include "watch_page.h"
#include "watch_value.h"

namespace monitor {

std::string change_log_line(std::uint32_t changeNumber, std::string_view date, std::string_view time,
                            std::string_view reply)
{
    std::string number = "000" + std::to_string(changeNumber);
    number = number.substr(number.size() - 4);
    std::string line = number;
    line.append(",").append(date).append(",").append(time).append(",").append(reply);
    return line;
}

std::optional<std::uint32_t> note_change(std::string& lastValue, ChangeCounter& counter, std::string_view reply)
{
    if (reply == lastValue)
        return std::nullopt;
    lastValue = std::string(reply);
    return counter.next();
}

std::string change_row_text(std::uint32_t changeNumber, int pictureWidth, std::string_view date, std::string_view time,
                            std::string_view label, std::string_view valueText)
{
    std::string row = change_number_text(changeNumber, pictureWidth);
    row.append(" ").append(date).append(" ").append(time).append(" ").append(label).append(" ").append(valueText);
    return row;
}

std::string change_number_text(std::uint32_t changeNumber, int pictureWidth)
{
    return picture_number(static_cast<double>(changeNumber), pictureWidth);
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
    request.baseName = typed_file_base(typed);
    return request;
}

}  // namespace monitor
