// The line settings of an open before the options text is applied: speed
// from the speed table, the speed code or the system setting, and the line
// format word, XON/XOFF and error character of the program option record.
#pragma once

#include "host/serial_line_settings.h"
#include "runtime/serial/serial_config.h"
#include "runtime/serial/serial_options.h"

namespace rt {

// The channel's speed: the system port setting (key "COMn:" of the "ports"
// section, 9600 when absent) when the program asks for it, else the speed
// table entry, else 300 * 2^speed code. 0 when no usable speed results.
std::uint32_t serial_default_speed(const SerialConfig& config, int channel);

// Applies the defaults to `settings` (as read from the port) and sets the
// data bits and character width of `options`.
void apply_serial_defaults(const SerialConfig& config, int channel, host::SerialLineSettings& settings,
                           SerialOptions& options);

}  // namespace rt
