// The settings file "QK.DEF": records read one at a time as text items (a
// record ends at a line end, or at a comma or colon outside double quotes),
// each split into a key (its first 3 characters) and a value (the rest).
//
//   CH=n     serial channel (16-bit)          BT=n   data bits; 7, else 8
//   BL=n     byte order, 0 "Little", else "Big"
//   AD=hhhh  first dump page, hexadecimal, taken AND FF00
//   F2=name ... F9=name  watch files of F2-F9
//
// Keys are compared exactly; other records are ignored; later records win.
// QkP877W reads only CH= and the F-names.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "protocol.h"

namespace monitor {

struct Settings {
    std::int16_t channel = 0;
    std::int16_t dataBits = 0;   // Qk14: 0 until a record has been read, then 7 or 8
    std::int16_t byteOrder = 0;  // 0 "Little", other "Big"
    std::uint16_t startAddress = 0;
    std::array<std::string, 8> functionKeyNames;  // F2..F9 at index 0..7

    const std::string& name_of_key(int key) const { return functionKeyNames.at(static_cast<std::size_t>(key - 2)); }
};

// Applies one record to `settings`. Returns true when it was an "AD=" record
// (the dump page then starts at `startAddress`). A number outside the
// setting's range raises the runtime's overflow error (6).
bool apply_settings_record(std::string_view record, Settings& settings, MonitorKind monitor);

// The serial device string of the channel, for example
// "com1:(s8n1n8,RB8192)"; empty for a channel outside 0-3.
std::string channel_device_string(std::int16_t channel, std::int16_t dataBits);

}  // namespace monitor
