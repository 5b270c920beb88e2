#include "runtime/serial/serial_line_defaults.h"

#include <string>

namespace rt {

namespace {

// Line format word bits.
constexpr std::uint16_t kEightDataBits = 0x0001;
constexpr std::uint16_t kParityOn = 0x0002;
constexpr std::uint16_t kParityEven = 0x0004;
constexpr std::uint16_t kTwoStopBits = 0x0008;
constexpr std::uint16_t kWidthEight = 0x0300;

}  // namespace

std::uint32_t serial_default_speed(const SerialConfig& config, int channel)
{
    if (config.options.use_system_port_speed) {
        const std::string key = "COM" + std::to_string(channel + 1) + ":";
        return static_cast<std::uint32_t>(config.ports.profile_integer(key, 9600));
    }
    if (std::uint32_t speed = config.speed_table[channel]; speed != 0)
        return speed;
    const std::uint16_t code = config.speed_code[channel];
    if (code > 23)  // 300 * 2^24 no longer fits; no usable speed
        return 0;
    return 300u << code;
}

void apply_serial_defaults(const SerialConfig& config, int channel, host::SerialLineSettings& s,
                           SerialOptions& o)
{
    using namespace host;
    s.BaudRate = serial_default_speed(config, channel);

    const std::uint16_t format = config.options.line_format[channel];
    s.ByteSize = (format & kEightDataBits) ? 8 : 7;
    o.data_bits = s.ByteSize;
    if (format & kParityOn) {
        s.Parity = (format & kParityEven) ? serial_parity::kEven : serial_parity::kOdd;
        s.fParity = true;
    } else {
        s.Parity = serial_parity::kNone;
        s.fParity = false;
    }
    s.StopBits = (format & kTwoStopBits) ? serial_stop_bits::kTwo : serial_stop_bits::kOne;
    o.character_width = (format & kWidthEight) ? 8 : 7;

    s.fOutX = s.fInX = true;
    s.XonChar = config.options.xon_char;
    s.XoffChar = config.options.xoff_char;

    if (config.options.error_char_enabled) {
        s.fParity = false;
        s.fErrorChar = true;
        s.ErrorChar = '?';
    } else {
        s.fErrorChar = false;
    }
}

}  // namespace rt
