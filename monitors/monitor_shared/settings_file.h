// The settings file "QK.DEF": records read one at a time as text items (a
// record ends at a line end, or at a comma or colon outside double quotes),
// each split into a key (its first 3 characters) and a value (the rest).
//
//   CH=n     serial channel 0-3               BT=n   data bits; 7, else 8
//   BL=n     byte order, 0 "Little", else "Big"
//   AD=hhhh  first dump page, hexadecimal, taken AND FF00
//   F2=name ... F9=name  watch files of F2-F9
//
// Keys are compared exactly; other records are ignored; later records win.
// QkP877W reads only CH= and the F-names. A value that cannot be used (a
// channel outside 0-3, a number outside its 16-bit or 32-bit range, an
// address that is not hexadecimal) is noted in `problems` with the key, the
// value and what is allowed (in the user's language), and the setting falls
// back as the note says. A file in UTF-8 is read as its Shift-JIS text.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "monitors/monitor_shared/board_description.h"

namespace monitor {

inline constexpr std::int16_t kChannelLast = 3;
inline constexpr std::int16_t kNoChannel = -1;  // a channel that opens nothing

// The watch-file names of the function keys, indexed by key number: F2-F9
// from the settings file, F10 and F11 as last typed at their prompts.
using FunctionKeyNames = std::array<std::string, 12>;

struct Settings {
    std::int16_t channel = 0;
    std::int16_t data_bits = 0;   // Qk14: 0 until a record has been read, then 7 or 8
    std::int16_t byte_order = 0;  // 0 "Little", other "Big"
    std::uint16_t start_address = 0;
    FunctionKeyNames function_key_names;
    std::vector<std::string> problems;  // unusable values of the last read, in words
};

// Applies one record to `settings`. Returns true when it was an "AD=" record
// (the dump page then starts at `start_address`).
bool apply_settings_record(std::string_view record, Settings& settings, const BoardDescription& board);

// The serial device string of the channel, for example
// "com1:(s8n1n8,RB8192)"; empty for a channel outside 0-3.
std::string channel_device_string(std::int16_t channel, std::int16_t data_bits);


// Reads "QK.DEF" through the runtime (OPEN as file 1, EOF, INPUT of one text
// item per record, CLOSE) and applies each record; `problems` lists the
// unusable values of this read. A missing file is not trapped: the program
// ends with the runtime's report.
// Returns true when an "AD=" record was read (Qk14: the dump page starts there).
bool read_settings_file(Settings& settings, const BoardDescription& board);

}  // namespace monitor
