#include "monitors/monitor_shared/settings_file.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "monitors/monitor_shared/screen_place.h"
#include "runtime/console/input_statements.h"
#include "runtime/core/error.h"
#include "runtime/core/frame.h"
#include "runtime/core/number_conversions.h"
#include "runtime/core/number_text.h"
#include "runtime/core/string_ops.h"
#include "runtime/core/text_from_utf8.h"
#include "runtime/core/user_language.h"
#include "runtime/files/device_table.h"
#include "runtime/files/field_input.h"
#include "runtime/files/file_operations.h"

namespace monitor {

namespace {

constexpr int kShownValueBytes = 16;

// VAL of the text stored as an integer of [low, high] (to nearest, ties to
// even, as the conversion stores it); nothing when it does not fit.
std::optional<std::int32_t> integer_value(std::string_view text, double low, double high)
{
    const rt::ParsedNumber number = rt::parse_number(text);
    if (!number.representable)
        return std::nullopt;
    const double stored = std::nearbyint(number.value);
    if (!(stored >= low && stored <= high))
        return std::nullopt;
    return static_cast<std::int32_t>(stored);
}

std::optional<std::int16_t> int16_value(std::string_view text)
{
    const auto value = integer_value(text, -32768.0, 32767.0);
    return value ? std::optional<std::int16_t>(static_cast<std::int16_t>(*value)) : std::nullopt;
}

// What a setting allows and what happens instead, in the user's language (UTF-8).
struct ProblemWording {
    std::string_view channel;
    std::string_view data_bits;
    std::string_view byte_order;
    std::string_view address;
};

constexpr ProblemWording kEnglish{
    "the channel is 0, 1, 2 or 3; no channel opened",
    "data bits are 7 or 8; 8 used",
    "byte order is 0 (Little) or 1 (Big); unchanged",
    "the address is 0000 to FFFF; ignored",
};

constexpr ProblemWording kJapanese{
    "チャンネルは 0、1、2、3 のどれかです。チャンネルは開きません",
    "データビットは 7 か 8 です。8 にします",
    "バイト順は 0 (Little) か 1 (Big) です。変えません",
    "アドレスは 0000～FFFF です。無視します",
};

const ProblemWording& wording() noexcept
{
    return rt::user_language() == rt::Language::Japanese ? kJapanese : kEnglish;
}

void report(Settings& settings, std::string_view key, std::string_view value, std::string_view allowed)
{
    std::string shown(fitting_text(value, kShownValueBytes));
    if (shown.size() < value.size())
        shown += "...";
    settings.problems.push_back("QK.DEF " + std::string(key) + shown + ": " + rt::sjis_from_utf8(allowed));
}

// An "AD=" value is hexadecimal digits (blanks between them are skipped, as
// the conversion skips them); an empty value is address 0.
bool is_hexadecimal_text(std::string_view text) noexcept
{
    return std::all_of(text.begin(), text.end(), [](char c) {
        return c == ' ' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    });
}

bool is_function_key_name(std::string_view key)
{
    return key.size() == 3 && key[0] == 'F' && key[1] >= '2' && key[1] <= '9' && key[2] == '=';
}

}  // namespace

bool apply_settings_record(std::string_view record, Settings& settings, const BoardDescription& board)
{
    const bool board_records = board.settings_take_line_and_address;
    const std::string_view key = record.substr(0, 3);
    const std::string_view value = record.substr(std::min<std::size_t>(3, record.size()));
    bool start_address_read = false;
    if (is_function_key_name(key)) {
        settings.function_key_names[static_cast<std::size_t>(key[1] - '0')] = std::string(value);
    } else if (key == "CH=") {
        const auto channel = int16_value(value);
        if (channel && *channel >= 0 && *channel <= kChannelLast) {
            settings.channel = *channel;
        } else {
            settings.channel = kNoChannel;
            report(settings, key, value, wording().channel);
        }
    } else if (board_records && key == "BT=") {
        const auto bits = int16_value(value);
        settings.data_bits = bits.value_or(8);
        if (!bits)
            report(settings, key, value, wording().data_bits);
    } else if (board_records && key == "BL=") {
        if (const auto order = int16_value(value))
            settings.byte_order = *order;
        else
            report(settings, key, value, wording().byte_order);
    } else if (board_records && key == "AD=") {
        const auto address = is_hexadecimal_text(value)
                                 ? integer_value("&H" + std::string(value), -2147483648.0, 2147483647.0)
                                 : std::nullopt;
        if (address) {
            settings.start_address = static_cast<std::uint16_t>(*address & 0xFF00);
            start_address_read = true;
        } else {
            report(settings, key, value, wording().address);
        }
    }
    if (board_records && settings.data_bits != 7)
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

bool read_settings_file(Settings& settings, const BoardDescription& board)
{
    bool start_address_read = false;
    settings.problems.clear();
    stmt(__LINE__, [&] {
        rt::push_temp("QK.DEF");
        rt::OPEN(1, 3, kSettingsFile);
    });
    stmt(__LINE__, [&] { rt::read_utf8_as_shift_jis(kSettingsFile); });
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
            if (apply_settings_record(record, settings, board))
                start_address_read = true;
        });
    }
    stmt(__LINE__, [&] { rt::CLOSE({kSettingsFile}); });
    return start_address_read;
}

}  // namespace monitor
