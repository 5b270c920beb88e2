#include "settings_file.h"

#include <algorithm>

#include "runtime/core/error.h"
#include "runtime/core/number_conversions.h"
#include "runtime/core/number_text.h"

namespace monitor {

namespace {

constexpr std::uint16_t kSiteSettingValue = 0x0201;

// VAL of the text: raises 6 when the number leaves its type's range.
double value_of(std::string_view text)
{
    const rt::ParsedNumber number = rt::parse_number(text);
    if (!number.representable)
        rt::RAISE_ERROR(rt::err::Overflow, kSiteSettingValue);
    return number.value;
}

bool is_function_key_name(std::string_view key)
{
    return key.size() == 3 && key[0] == 'F' && key[1] >= '2' && key[1] <= '9' && key[2] == '=';
}

}  // namespace

bool apply_settings_record(std::string_view record, Settings& settings, MonitorKind monitor)
{
    const bool qk14 = monitor == MonitorKind::Qk14;
    const std::string_view key = record.substr(0, 3);
    const std::string_view value = record.substr(std::min<std::size_t>(3, record.size()));
    bool startAddressRead = false;
    if (is_function_key_name(key)) {
        settings.functionKeyNames[static_cast<std::size_t>(key[1] - '2')] = std::string(value);
    } else if (key == "CH=") {
        settings.channel = rt::REAL_TO_I16_CHECK(value_of(value));
    } else if (qk14 && key == "BT=") {
        settings.dataBits = rt::REAL_TO_I16_CHECK(value_of(value));
    } else if (qk14 && key == "BL=") {
        settings.byteOrder = rt::REAL_TO_I16_CHECK(value_of(value));
    } else if (qk14 && key == "AD=") {
        settings.startAddress =
            static_cast<std::uint16_t>(rt::REAL_TO_I32_CHECK(value_of("&H" + std::string(value))) & 0xFF00);
        startAddressRead = true;
    }
    if (qk14 && settings.dataBits != 7)
        settings.dataBits = 8;
    return startAddressRead;
}

std::string channel_device_string(std::int16_t channel, std::int16_t dataBits)
{
    if (channel < 0 || channel > 3)
        return {};
    const char* format = dataBits == 7 ? "(s7n1n7,RB8192)" : "(s8n1n8,RB8192)";
    return "com" + std::to_string(channel) + ":" + format;
}

}  // namespace monitor
