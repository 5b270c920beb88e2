#include "monitors/monitor_shared/settings_file.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "runtime/console/input_statements.h"
#include "runtime/core/error.h"
#include "runtime/core/frame.h"
#include "runtime/core/number_conversions.h"
#include "runtime/core/number_text.h"
#include "runtime/core/string_ops.h"
#include "runtime/files/device_table.h"
#include "runtime/files/field_input.h"
#include "runtime/files/file_operations.h"



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
    bool start_address_read = false;
    if (is_function_key_name(key)) {
        settings.function_key_names[static_cast<std::size_t>(key[1] - '0')] = std::string(value);
    } else if (key == "CH=") {
        settings.channel = rt::REAL_TO_I16_CHECK(value_of(value));
    } else if (qk14 && key == "BT=") {
        settings.data_bits = rt::REAL_TO_I16_CHECK(value_of(value));
    } else if (qk14 && key == "BL=") {
        settings.byte_order = rt::REAL_TO_I16_CHECK(value_of(value));
    } else if (qk14 && key == "AD=") {
        settings.start_address =
            static_cast<std::uint16_t>(rt::REAL_TO_I32_CHECK(value_of("&H" + std::string(value))) & 0xFF00);
        start_address_read = true;
    }
    if (qk14 && settings.data_bits != 7)
        settings.data_bits = 8;
    return start_address_read;
}

std::string channel_device_string(std::int16_t channel, std::int16_t data_bits)
{
    if (channel < 0 || channel > 3)
        return {};
    const char* format = data_bits == 7 ? "(s7n1n7,RB8192)" : "(s8n1n8,RB8192)";
    return "com" + std::to_string(channel) + ":" + format;
}


using rt::stmt;

namespace {
constexpr std::int32_t kSettingsFile = 1;
}  // namespace

bool read_settings_file(Settings& settings, MonitorKind monitor)
{
    bool start_address_read = false;
    stmt(__LINE__, [&] {
        rt::push_temp("QK.DEF");
        rt::OPEN(1, 3, kSettingsFile);
    });
    for (;;) {
        bool at_end = false;
        stmt(__LINE__, [&] { at_end = rt::FILE_EOF(kSettingsFile) != 0; });
        if (at_end)
            break;
        std::string record;
        stmt(__LINE__, [&] { rt::INPUT_FROM_FILE(kSettingsFile); });
        stmt(__LINE__, [&] {
            rt::StrVar item;
            const rt::InputTarget target(item);
            rt::INPUT_VARS(std::span<const rt::InputTarget>(&target, 1));
            record = item.str();
        });
        stmt(__LINE__, [&] {
            if (apply_settings_record(record, settings, monitor))
                start_address_read = true;
        });
    }
    stmt(__LINE__, [&] { rt::CLOSE({kSettingsFile}); });
    return start_address_read;
}

}  // namespace monitor
