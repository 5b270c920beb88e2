// The change log of one watched value: the change counter, the line written
// to the log file ("*.DAS"), the row shown on screen, and the name typed at
// the log prompt with its "/F" (append) and "/D" (delete and create) suffix.
//
// The change number counts in 32 bits and wraps to 0 after 4294967295, so a
// long run never ends the program; the log line writes its last 4 decimal
// digits (10000 is written 0000) and the screen shows it through the picture
// with the "%" overflow mark once it is wider.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace monitor {

class ChangeCounter {
public:
    std::uint32_t value() const noexcept { return value_; }
    std::uint32_t next() noexcept { return ++value_; }
    void reset() noexcept { value_ = 0; }

private:
    std::uint32_t value_ = 0;
};

// The log step's test: a reply that differs from the last value seen is a
// change; it becomes the last value and gets the next change number.
std::optional<std::uint32_t> note_change(std::string& last_value, ChangeCounter& counter, std::string_view reply);

// "0001,26/12/07,06:10:00,00FF": change number (last 4 digits, zero-padded),
// date yy/mm/dd, time hh:mm:ss and the reply, without line end.
std::string change_log_line(std::uint32_t change_number, std::string_view date, std::string_view time,
                            std::string_view reply);

// The change number as the screen shows it: picture "####" (Qk14) or
// "#####" (QkP877W).
std::string change_number_text(std::uint32_t change_number, int picture_width);

// The change row printed at (1, 17): number, date, time, label and the value
// text of the entry's format, separated by blanks.
std::string change_row_text(std::uint32_t change_number, int picture_width, std::string_view date, std::string_view time,
                            std::string_view label, std::string_view value_text);

struct LogRequest {
    std::string base_name;   // at most 8 bytes; empty means "back to the dump page"
    bool logging = false;   // "/F" or "/D" given: write the log file
    bool recreate = false;  // "/D": delete the log file first
};

// Reads the name typed at the log prompt (either case of the suffix letter).
LogRequest parse_log_request(std::string_view typed);

inline std::string watch_file_name(std::string_view base) { return std::string(base) + ".DAT"; }
inline std::string log_file_name(std::string_view base) { return std::string(base) + ".DAS"; }

}  // namespace monitor
