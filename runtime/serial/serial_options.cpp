#include "runtime/serial/serial_options.h"

#include <array>
#include <string>

namespace rt {

namespace {

char to_upper(char c) noexcept
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Each position's check and effect; false when the character is refused.
bool apply_position(std::size_t position, char c, host::SerialLineSettings& s, SerialOptions& o)
{
    using namespace host;
    switch (position) {
    case 1:
        return c == 'S' || c == 'F' || c == 'X';
    case 2:
        if (c < '4' || c > '8')
            return false;
        s.ByteSize = static_cast<std::uint8_t>(c - '0');
        o.data_bits = s.ByteSize;
        return true;
    case 3: {
        constexpr std::string_view kLetters = "NOEMS";
        auto i = kLetters.find(c);
        if (i == std::string_view::npos)
            return false;
        s.Parity = static_cast<std::uint8_t>(i);
        s.fParity = true;
        return true;
    }
    case 4:
        if (c != '1' && c != '2')
            return false;
        s.StopBits = c == '1' ? serial_stop_bits::kOne : serial_stop_bits::kTwo;
        return true;
    case 5:
        if (c == 'N') {
            s.fOutX = s.fInX = false;
        } else if (c == 'X') {
            s.fOutX = s.fInX = true;
            s.XonChar = 0x11;
            s.XoffChar = 0x13;
        } else {
            return false;
        }
        return true;
    case 6:
        if (c != '7' && c != '8')
            return false;
        o.character_width = static_cast<std::uint8_t>(c - '0');
        return true;
    case 7:
    case 8:
        return c == 'E' || c == 'N';
    case 9:
        if (c == 'N') {
            s.fErrorChar = false;
        } else {
            s.ErrorChar = static_cast<std::uint8_t>(c);
            s.fErrorChar = true;
            s.fParity = false;
        }
        return true;
    default:  // 10, 11
        return true;
    }
}

}  // namespace

std::int32_t read_option_number(std::string_view text) noexcept
{
    if (text.empty())
        return -1;
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
        if (value > 2147483647)
            return -2;
    }
    return static_cast<std::int32_t>(value);
}

bool apply_serial_options(std::string_view options_text, host::SerialLineSettings& s, SerialOptions& o)
{
    using namespace host;
    std::string text(options_text);
    for (char& c : text)
        c = to_upper(c);

    const std::string_view all = text;
    const std::string_view format = all.substr(0, all.find(','));
    if (format.size() > kMaxSerialFormatLength)
        return false;
    for (std::size_t i = 0; i < format.size(); ++i)
        if (!apply_position(i + 1, format[i], s, o))
            return false;

    // Positions 7 and 8 switch flow control off unless they say "E", even when absent.
    const bool rts_handshake = format.size() >= 7 && format[6] == 'E';
    s.fRtsControl = rts_handshake ? serial_control::kHandshake : serial_control::kEnable;
    s.fOutxCtsFlow = rts_handshake;
    const bool dtr_handshake = format.size() >= 8 && format[7] == 'E';
    s.fDtrControl = dtr_handshake ? serial_control::kHandshake : serial_control::kEnable;
    s.fOutxDsrFlow = dtr_handshake;

    o.CS = o.DS = o.SD = o.RD = 0;
    o.SB = o.RB = 2048;
    struct Key {
        std::string_view name;
        std::int32_t* signed_field;
        std::uint32_t* unsigned_field;
    };
    const std::array<Key, 6> keys{{
        {",CS", nullptr, &o.CS},
        {",DS", nullptr, &o.DS},
        {",SB", &o.SB, nullptr},
        {",RB", &o.RB, nullptr},
        {",SD", nullptr, &o.SD},
        {",RD", nullptr, &o.RD},
    }};
    for (const Key& key : keys) {
        auto at = all.find(key.name);
        if (at == std::string_view::npos)
            continue;
        std::string_view value = all.substr(at + key.name.size());
        value = value.substr(0, value.find(','));
        const std::int32_t number = read_option_number(value);
        if (key.signed_field)
            *key.signed_field = number;
        else
            *key.unsigned_field = static_cast<std::uint32_t>(number);
    }
    return true;
}

}  // namespace rt
