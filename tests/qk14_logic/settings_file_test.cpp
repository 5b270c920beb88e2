#include <gtest/gtest.h>

#include "monitors/monitor_shared/number_text.h"
#include "monitors/monitor_shared/settings_file.h"
#include "monitors/qk14/startup_settings.h"

namespace monitor {
namespace {

SettingsResult qk14(std::string_view file, const Settings& previous = {})
{
    return read_settings(file, previous, MonitorKind::Qk14);
}

TEST(NumberText, ValueOfText)
{
    EXPECT_EQ(value_of_text("&H1F00"), 7936);
    EXPECT_EQ(value_of_text("&hff"), 255);
    EXPECT_EQ(value_of_text("&HFFFF"), 65535);
    EXPECT_EQ(value_of_text("&H12G4"), 18);
    EXPECT_EQ(value_of_text("&H"), 0);
    EXPECT_EQ(value_of_text("&O17"), 15);
    EXPECT_EQ(value_of_text("  12"), 12);
    EXPECT_EQ(value_of_text("12 34"), 12);
    EXPECT_EQ(value_of_text("-.5"), -0.5);
    EXPECT_EQ(value_of_text("1E3"), 1000);
    EXPECT_EQ(value_of_text("A1"), 0);
    EXPECT_EQ(value_of_text(""), 0);
    EXPECT_EQ(value_of_text("x"), 0);
    EXPECT_EQ(value_of_text("7bit"), 7);
    EXPECT_FALSE(value_of_text("1E39"));  // beyond single precision
    EXPECT_EQ(value_of_text("40000%"), std::nullopt);
    EXPECT_EQ(round_to_int16(2.5), 2);
    EXPECT_EQ(round_to_int16(3.5), 4);
    EXPECT_FALSE(round_to_int16(32768));
    EXPECT_EQ(round_to_int16(-32768), -32768);
    EXPECT_FALSE(round_to_int32(4294967295.0));
}

TEST(SettingsFile, EmptyFileKeepsDefaultsAndDataBitsZero)
{
    const auto result = qk14("");
    EXPECT_EQ(result.error, 0);
    EXPECT_EQ(result.settings.channel, 0);
    EXPECT_EQ(result.settings.dataBits, 0);
    EXPECT_EQ(result.settings.byteOrder, 0);
    EXPECT_FALSE(result.dumpBase);
    for (const auto& name : result.settings.functionKeyNames)
        EXPECT_TRUE(name.empty());
    // The device string takes 8 bits when the setting is not 7.
    EXPECT_EQ(channel_device_string(result.settings.channel, result.settings.dataBits), "com0:(s8n1n8,RB8192)");
}

TEST(SettingsFile, TypicalFile)
{
    const auto result = qk14("CH=1\r\nBT=7\r\nBL=1\r\nAD=8000\r\nF2=MOTOR\r\n");
    EXPECT_EQ(result.error, 0);
    EXPECT_EQ(result.settings.channel, 1);
    EXPECT_EQ(result.settings.dataBits, 7);
    EXPECT_EQ(result.settings.byteOrder, 1);
    EXPECT_EQ(result.dumpBase, 0x8000);
    EXPECT_EQ(result.settings.name_of_key(2), "MOTOR");
    EXPECT_EQ(channel_device_string(1, 7), "com1:(s7n1n7,RB8192)");
}

TEST(SettingsFile, DataBitsAreSevenOnlyForBT7)
{
    EXPECT_EQ(qk14("BT=9").settings.dataBits, 8);
    EXPECT_EQ(qk14("BT=").settings.dataBits, 8);
    EXPECT_EQ(qk14("BT=7").settings.dataBits, 7);
    EXPECT_EQ(qk14("XX=1").settings.dataBits, 8);  // any record sets 8
    EXPECT_EQ(qk14("BT=7\r\nBT=8").settings.dataBits, 8);
}

TEST(SettingsFile, StartAddressIsTakenOnWholePages)
{
    EXPECT_EQ(qk14("AD=12FF").dumpBase, 0x1200);
    EXPECT_EQ(qk14("AD=").dumpBase, 0);
    EXPECT_EQ(qk14("AD=ffff").dumpBase, 0xFF00);
    EXPECT_EQ(qk14("AD=123456").dumpBase, 0x3400);
    EXPECT_EQ(qk14("AD=FFFFFFFF").error, kErrorOverflow);
}

TEST(SettingsFile, RecordsSplitAtCommasAndColons)
{
    auto result = qk14("F2=A,B\r\n");
    EXPECT_EQ(result.settings.name_of_key(2), "A");
    result = qk14("F3=X:CH=2");
    EXPECT_EQ(result.settings.name_of_key(3), "X");
    EXPECT_EQ(result.settings.channel, 2);
    result = qk14("\"F4=a,b\"");
    EXPECT_EQ(result.settings.name_of_key(4), "a,b");
}

TEST(SettingsFile, KeysAreExactAndBlanksBeforeTheKeyAreDropped)
{
    EXPECT_EQ(qk14("ch=1").settings.channel, 0);
    EXPECT_EQ(qk14("   CH=1").settings.channel, 1);
    EXPECT_EQ(qk14("CH =1").settings.channel, 0);
    EXPECT_EQ(qk14("CH= 3").settings.channel, 3);
    EXPECT_EQ(qk14("CH=x").settings.channel, 0);
    EXPECT_EQ(qk14("F9=  spaced name  ").settings.name_of_key(9), "  spaced name");
}

TEST(SettingsFile, OverflowIsReported)
{
    EXPECT_EQ(qk14("CH=40000").error, kErrorOverflow);
    EXPECT_EQ(qk14("BL=-40000").error, kErrorOverflow);
    EXPECT_EQ(qk14("CH=1E40").error, kErrorOverflow);
    EXPECT_EQ(qk14("\"F2=A\"B").error, kErrorBadField);
    // A quote inside a record is an ordinary character.
    EXPECT_EQ(qk14("F2=\"A\"B").settings.name_of_key(2), "\"A\"B");
}

TEST(SettingsFile, RestartKeepsValuesOfAbsentKeys)
{
    Settings before;
    before.channel = 2;
    before.byteOrder = 1;
    before.dataBits = 7;
    before.functionKeyNames[0] = "OLD";
    const auto result = qk14("F3=NEW\r\n", before);
    EXPECT_EQ(result.settings.channel, 2);
    EXPECT_EQ(result.settings.byteOrder, 1);
    EXPECT_EQ(result.settings.dataBits, 7);
    EXPECT_EQ(result.settings.name_of_key(2), "OLD");
    EXPECT_EQ(result.settings.name_of_key(3), "NEW");
}

TEST(SettingsFile, QkP877WReadsOnlyChannelAndNames)
{
    const auto result = read_settings("CH=1\r\nBT=7\r\nBL=1\r\nAD=8000\r\nF5=P\r\n", {}, MonitorKind::QkP877W);
    EXPECT_EQ(result.settings.channel, 1);
    EXPECT_EQ(result.settings.dataBits, 0);
    EXPECT_EQ(result.settings.byteOrder, 0);
    EXPECT_FALSE(result.dumpBase);
    EXPECT_EQ(result.settings.name_of_key(5), "P");
    EXPECT_EQ(channel_device_string(7, 8), "");
    EXPECT_EQ(channel_device_string(-1, 8), "");
}

}  // namespace
}  // namespace monitor

namespace qk14 {
namespace {

TEST(StartWithSettings, RestartKeepsTypedNamesAndThePageWithoutAD)
{
    MonitorState state;
    ASSERT_EQ(start_with_settings(state, "AD=8000\r\nF2=MOTOR\r\n"), 0);
    EXPECT_EQ(state.currentMode, DisplayMode::Dump);
    EXPECT_EQ(state.requestedMode, DisplayMode::Dump);
    EXPECT_EQ(state.dumpBase, 0x8000);
    EXPECT_EQ(state.functionKeyNames[2], "MOTOR");
    EXPECT_EQ(state.settings.dataBits, 8);

    // Esc restart with a changed file: the page moved by the user stays,
    // F2 keeps its name, the name typed for F10 stays.
    state.dumpBase = 0x1200;
    state.functionKeyNames[10] = "typed";
    state.currentMode = DisplayMode::ChosenWatch;
    ASSERT_EQ(start_with_settings(state, "F3=PUMP\r\n"), 0);
    EXPECT_EQ(state.dumpBase, 0x1200);
    EXPECT_EQ(state.functionKeyNames[2], "MOTOR");
    EXPECT_EQ(state.functionKeyNames[3], "PUMP");
    EXPECT_EQ(state.functionKeyNames[10], "typed");
    EXPECT_EQ(state.currentMode, DisplayMode::Dump);

    EXPECT_EQ(start_with_settings(state, "CH=99999\r\n"), monitor::kErrorOverflow);
}

}  // namespace
}  // namespace qk14
