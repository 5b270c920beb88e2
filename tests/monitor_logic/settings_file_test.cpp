#include <gtest/gtest.h>

#include "monitors/monitor_shared/monitor_state.h"
#include "monitors/monitor_shared/settings_file.h"
#include "monitors/qk14/board_description.h"
#include "monitors/qkp877w/board_description.h"
#include "runtime/core/error.h"
#include "tests/monitor_logic/file_reading.h"

namespace monitor {
namespace {

using testing::read_settings_bytes;
using testing::SettingsRead;


SettingsRead qk14(std::string_view file, const Settings& previous = {})
{
    return read_settings_bytes(file, previous, qk14::kBoard);
}

std::optional<std::uint16_t> dump_base(const SettingsRead& read)
{
    return read.start_address_read ? std::optional<std::uint16_t>(read.settings.start_address) : std::nullopt;
}

TEST(SettingsRecord, ValuesAreReadAsVALReadsThem)
{
    Settings settings;
    apply_settings_record("CH=  12", settings, qk14::kBoard);
    EXPECT_EQ(settings.channel, kNoChannel);  // 12 is no channel: noted below
    apply_settings_record("CH=&H3", settings, qk14::kBoard);
    EXPECT_EQ(settings.channel, 3);
    apply_settings_record("CH=2.5", settings, qk14::kBoard);  // stored to nearest, ties to even
    EXPECT_EQ(settings.channel, 2);
    apply_settings_record("CH=0.5", settings, qk14::kBoard);
    EXPECT_EQ(settings.channel, 0);
    apply_settings_record("BT=7bit", settings, qk14::kBoard);
    EXPECT_EQ(settings.data_bits, 7);
    apply_settings_record("BL=A1", settings, qk14::kBoard);
    EXPECT_EQ(settings.byte_order, 0);
    // An address with a character that is no hexadecimal digit is refused, not read as far as it goes.
    settings.start_address = 0x3400;
    EXPECT_FALSE(apply_settings_record("AD=12G4", settings, qk14::kBoard));
    EXPECT_FALSE(apply_settings_record("AD=ZZ", settings, qk14::kBoard));
    EXPECT_EQ(settings.start_address, 0x3400);
    EXPECT_FALSE(apply_settings_record("AD=1200", settings, qkp877w::kBoard));
    EXPECT_EQ(settings.problems, (std::vector<std::string>{"QK.DEF CH=  12: the channel is 0, 1, 2 or 3; no channel opened",
                                                           "QK.DEF AD=12G4: the address is 0000 to FFFF; ignored",
                                                           "QK.DEF AD=ZZ: the address is 0000 to FFFF; ignored"}));
}

TEST(SettingsRecord, UnusableValuesAreNotedWithKeyValueAndWhatIsAllowed)
{
    Settings settings;
    settings.byte_order = 1;
    for (const char* record : {"CH=99999", "CH=4", "CH=-1", "CH=1E39", "CH=40000%"}) {
        settings.channel = 1;
        apply_settings_record(record, settings, qkp877w::kBoard);
        EXPECT_EQ(settings.channel, kNoChannel) << record;
        EXPECT_EQ(channel_device_string(settings.channel, 8), "") << record;
    }
    EXPECT_EQ(settings.problems.front(), "QK.DEF CH=99999: the channel is 0, 1, 2 or 3; no channel opened");
    EXPECT_EQ(settings.problems.size(), 5u);
    settings.problems.clear();

    apply_settings_record("BT=99999999", settings, qk14::kBoard);
    EXPECT_EQ(settings.data_bits, 8);
    EXPECT_FALSE(apply_settings_record("AD=FFFFFFFFF", settings, qk14::kBoard));
    apply_settings_record("BL=-40000", settings, qk14::kBoard);
    EXPECT_EQ(settings.byte_order, 1);
    apply_settings_record("F2=" + std::string(1000, 'N'), settings, qk14::kBoard);
    apply_settings_record("CH=" + std::string(1000, '9'), settings, qk14::kBoard);
    EXPECT_EQ(settings.problems,
              (std::vector<std::string>{"QK.DEF BT=99999999: data bits are 7 or 8; 8 used",
                                        "QK.DEF AD=FFFFFFFFF: the address is 0000 to FFFF; ignored",
                                        "QK.DEF BL=-40000: byte order is 0 (Little) or 1 (Big); unchanged",
                                        "QK.DEF CH=9999999999999999...: the channel is 0, 1, 2 or 3; no channel opened"}));
}

TEST(SettingsFile, EmptyFileKeepsDefaultsAndDataBitsZero)
{
    const auto result = qk14("");
    EXPECT_EQ(result.error, 0);
    EXPECT_EQ(result.settings.channel, 0);
    EXPECT_EQ(result.settings.data_bits, 0);
    EXPECT_EQ(result.settings.byte_order, 0);
    EXPECT_FALSE(result.start_address_read);
    for (const auto& name : result.settings.function_key_names)
        EXPECT_TRUE(name.empty());
    // The device string takes 8 bits when the setting is not 7.
    EXPECT_EQ(channel_device_string(result.settings.channel, result.settings.data_bits), "com0:(s8n1n8,RB8192)");
}

TEST(SettingsFile, TypicalFile)
{
    const auto result = qk14("CH=1\r\nBT=7\r\nBL=1\r\nAD=8000\r\nF2=MOTOR\r\n");
    EXPECT_EQ(result.error, 0);
    EXPECT_EQ(result.settings.channel, 1);
    EXPECT_EQ(result.settings.data_bits, 7);
    EXPECT_EQ(result.settings.byte_order, 1);
    EXPECT_EQ(dump_base(result), 0x8000);
    EXPECT_EQ(result.settings.function_key_names[2], "MOTOR");
    EXPECT_EQ(channel_device_string(1, 7), "com1:(s7n1n7,RB8192)");
}

TEST(SettingsFile, DataBitsAreSevenOnlyForBT7)
{
    EXPECT_EQ(qk14("BT=9").settings.data_bits, 8);
    EXPECT_EQ(qk14("BT=").settings.data_bits, 8);
    EXPECT_EQ(qk14("BT=7").settings.data_bits, 7);
    EXPECT_EQ(qk14("XX=1").settings.data_bits, 8);  // any record sets 8
    EXPECT_EQ(qk14("BT=7\r\nBT=8").settings.data_bits, 8);
}

TEST(SettingsFile, StartAddressIsTakenOnWholePages)
{
    EXPECT_EQ(dump_base(qk14("AD=12FF")), 0x1200);
    EXPECT_EQ(dump_base(qk14("AD=")), 0);
    EXPECT_EQ(dump_base(qk14("AD=ffff")), 0xFF00);
    EXPECT_EQ(dump_base(qk14("AD=123456")), 0x3400);
    EXPECT_EQ(dump_base(qk14("AD=7FFFFFFF")), 0xFF00);
    EXPECT_EQ(dump_base(qk14("AD=FFFFFFFF")), std::nullopt);
}

TEST(SettingsFile, RecordsSplitAtCommasAndColons)
{
    auto result = qk14("F2=A,B\r\n");
    EXPECT_EQ(result.settings.function_key_names[2], "A");
    result = qk14("F3=X:CH=2");
    EXPECT_EQ(result.settings.function_key_names[3], "X");
    EXPECT_EQ(result.settings.channel, 2);
    result = qk14("\"F4=a,b\"");
    EXPECT_EQ(result.settings.function_key_names[4], "a,b");
}

TEST(SettingsFile, KeysAreExactAndBlanksBeforeTheKeyAreDropped)
{
    EXPECT_EQ(qk14("ch=1").settings.channel, 0);
    EXPECT_EQ(qk14("   CH=1").settings.channel, 1);
    EXPECT_EQ(qk14("CH =1").settings.channel, 0);
    EXPECT_EQ(qk14("CH= 3").settings.channel, 3);
    EXPECT_EQ(qk14("CH=x").settings.channel, 0);
    EXPECT_EQ(qk14("F9=  spaced name  ").settings.function_key_names[9], "  spaced name");
}

TEST(SettingsFile, QuotesEndOrBelongToTheRecord)
{
    EXPECT_EQ(qk14("\"F2=A\"B").settings.function_key_names[2], "A");  // the B after the quote is dropped
    // A quote inside a record is an ordinary character.
    EXPECT_EQ(qk14("F2=\"A\"B").settings.function_key_names[2], "\"A\"B");
}

TEST(SettingsFile, RestartKeepsValuesOfAbsentKeys)
{
    Settings before;
    before.channel = 2;
    before.byte_order = 1;
    before.data_bits = 7;
    before.function_key_names[2] = "OLD";
    const auto result = qk14("F3=NEW\r\n", before);
    EXPECT_EQ(result.settings.channel, 2);
    EXPECT_EQ(result.settings.byte_order, 1);
    EXPECT_EQ(result.settings.data_bits, 7);
    EXPECT_EQ(result.settings.function_key_names[2], "OLD");
    EXPECT_EQ(result.settings.function_key_names[3], "NEW");
}

TEST(SettingsFile, QkP877WReadsOnlyChannelAndNames)
{
    const auto result = read_settings_bytes("CH=1\r\nBT=7\r\nBL=1\r\nAD=8000\r\nF5=P\r\n", {}, qkp877w::kBoard);
    EXPECT_EQ(result.settings.channel, 1);
    EXPECT_EQ(result.settings.data_bits, 0);
    EXPECT_EQ(result.settings.byte_order, 0);
    EXPECT_FALSE(result.start_address_read);
    EXPECT_EQ(result.settings.function_key_names[5], "P");
    EXPECT_EQ(channel_device_string(7, 8), "");
    EXPECT_EQ(channel_device_string(-1, 8), "");
}

}  // namespace
}  // namespace monitor

namespace monitor {
namespace {

MonitorState started_with(MonitorState state, std::string_view file)
{
    const auto read = monitor::testing::read_settings_bytes(file, state.settings, qk14::kBoard);
    state.settings = read.settings;
    take_settings(state, read.start_address_read);
    return state;
}

TEST(TakeSettings, RestartKeepsTypedNamesAndThePageWithoutAD)
{
    MonitorState state = started_with({}, "AD=8000\r\nF2=MOTOR\r\n");
    EXPECT_EQ(state.dump_base, 0x8000);
    EXPECT_EQ(state.settings.function_key_names[2], "MOTOR");
    EXPECT_EQ(state.settings.data_bits, 8);

    // Esc restart with a changed file: the page moved by the user stays,
    // F2 keeps its name, the name typed for F10 stays.
    state.dump_base = 0x1200;
    state.settings.function_key_names[10] = "typed";
    state = started_with(std::move(state), "F3=PUMP\r\n");
    EXPECT_EQ(state.dump_base, 0x1200);
    EXPECT_EQ(state.settings.function_key_names[2], "MOTOR");
    EXPECT_EQ(state.settings.function_key_names[3], "PUMP");
    EXPECT_EQ(state.settings.function_key_names[10], "typed");

    const auto bad = monitor::testing::read_settings_bytes("CH=99999\r\n", {}, qk14::kBoard);
    EXPECT_EQ(bad.error, 0);
    EXPECT_EQ(bad.settings.problems.size(), 1u);
}

}  // namespace
}  // namespace monitor
