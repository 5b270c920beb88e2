#include "settings_file.h"

#include <algorithm>

#include "list_field_reader.h"
#include "number_text.h"

namespace monitor {

namespace {

std::optional<std::int16_t> int16_setting(std::string_view value)
{
    const auto number = value_of_text(value);
    return number ? round_to_int16(*number) : std::nullopt;
}

}  // namespace

SettingsResult read_settings(std::string_view bytes, const Settings& previous, MonitorKind monitor)
{
    SettingsResult result;
    result.settings = previous;
    Settings& settings = result.settings;
    const bool qk14 = monitor == MonitorKind::Qk14;
    ListFieldReader reader(bytes);
    while (!reader.at_end()) {
        TextItem item = reader.read_text();
        if (item.error != 0) {
            result.error = item.error;
            return result;
        }
        const std::string_view record = item.text;
        const std::string_view key = record.substr(0, 3);
        const std::string_view value = record.substr(std::min<std::size_t>(3, record.size()));
        if (key.size() == 3 && key[0] == 'F' && key[1] >= '2' && key[1] <= '9' && key[2] == '=') {
            settings.functionKeyNames[static_cast<std::size_t>(key[1] - '2')] = std::string(value);
        } else if (key == "CH=" || (qk14 && (key == "BT=" || key == "BL="))) {
            const auto number = int16_setting(value);
            if (!number) {
                result.error = kErrorOverflow;
                return result;
            }
            (key == "CH=" ? settings.channel : key == "BT=" ? settings.dataBits : settings.byteOrder) = *number;
        } else if (qk14 && key == "AD=") {
            const auto number = value_of_text("&H" + std::string(value));
            const auto address = number ? round_to_int32(*number) : std::nullopt;
            if (!address) {
                result.error = kErrorOverflow;
                return result;
            }
            settings.startAddress = static_cast<std::uint16_t>(*address & 0xFF00);
            result.dumpBase = settings.startAddress;
        }
        if (qk14 && settings.dataBits != 7)
            settings.dataBits = 8;
    }
    return result;
}

std::string channel_device_string(std::int16_t channel, std::int16_t dataBits)
{
    if (channel < 0 || channel > 3)
        return {};
    const char* format = dataBits == 7 ? "(s7n1n7,RB8192)" : "(s8n1n8,RB8192)";
    return "com" + std::to_string(channel) + ":" + format;
}

}  // namespace monitor
