// The lines a scripted session prints on standard output. A command gives
// "COMMAND<TAB>REPLY": the command as executed (upper-cased), then the reply
// digits, "Error", or nothing. A watch sample gives one CSV line per entry:
// local time (ISO 8601 with milliseconds and the UTC offset), label (UTF-8),
// address field, format and the value as the page shows it without its
// padding blanks, or "Error"; fields holding a comma, a quote or a line end
// are quoted.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "monitors/monitor_shared/board_description.h"
#include "monitors/monitor_shared/watch_page.h"

namespace monitor {

inline constexpr std::string_view kFailedReplyText = "Error";
inline constexpr std::string_view kWatchCsvHeader = "time,label,address,format,value\n";

std::string command_result_line(std::string_view command, std::string_view reply);

// "2026-12-07T14:03:22.045+01:00"
std::string local_time_text(std::chrono::system_clock::time_point when);

std::string csv_field(std::string_view text);

// The value of `reply` as the watch page shows it (no padding blanks); empty
// for a format that shows no value.
std::string watch_value_shown(const WatchEntry& entry, std::string_view reply, const BoardDescription& board,
                              std::int16_t byte_order_setting);

std::string watch_csv_line(std::string_view time, std::string_view label_utf8, const WatchEntry& entry,
                           std::string_view value);

}  // namespace monitor
