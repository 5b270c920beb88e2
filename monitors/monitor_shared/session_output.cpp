#include "monitors/monitor_shared/session_output.h"

#include <cstdio>
#include <ctime>

#include "monitors/monitor_shared/watch_value.h"

namespace monitor {

std::string command_result_line(std::string_view command, std::string_view reply)
{
    std::string line(command);
    line += '\t';
    line += reply;
    line += '\n';
    return line;
}

std::string local_time_text(std::chrono::system_clock::time_point when)
{
    using namespace std::chrono;
    const auto since_epoch = when.time_since_epoch();
    const auto whole = floor<seconds>(since_epoch);
    const auto millis = duration_cast<milliseconds>(since_epoch - whole).count();
    const std::time_t seconds_count = static_cast<std::time_t>(whole.count());
    std::tm local{};
    localtime_r(&seconds_count, &local);
    char date[32];
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    const long offset_minutes = local.tm_gmtoff / 60;
    const long magnitude = offset_minutes < 0 ? -offset_minutes : offset_minutes;
    char text[64];
    std::snprintf(text, sizeof text, "%s.%03d%c%02ld:%02ld", date, static_cast<int>(millis),
                  offset_minutes < 0 ? '-' : '+', magnitude / 60, magnitude % 60);
    return text;
}

std::string csv_field(std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string watch_value_shown(const WatchEntry& entry, std::string_view reply, const BoardDescription& board,
                              std::int16_t byte_order_setting)
{
    const std::optional<ValueOutput> output =
        watch_value_output(entry.format, reply, board, byte_order_setting, ValueContext::WatchPage);
    if (!output)
        return {};
    const std::string& text = output->text;
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string watch_csv_line(std::string_view time, std::string_view label_utf8, const WatchEntry& entry,
                           std::string_view value)
{
    return csv_field(time) + ',' + csv_field(label_utf8) + ',' + csv_field(entry.address_field) + ',' +
           csv_field(entry.format) + ',' + csv_field(value) + '\n';
}

}  // namespace monitor
