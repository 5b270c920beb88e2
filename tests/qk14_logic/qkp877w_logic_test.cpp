// QkP877W's own decisions: the key step, the function keys and mode step,
// the status line, and the change number's five-position picture.
#include <gtest/gtest.h>

#include "monitors/monitor_shared/change_log.h"
#include "monitors/qkp877w/key_step.h"
#include "monitors/qkp877w/mode_control.h"
#include "monitors/qkp877w/screen_map.h"

namespace qkp877w {
namespace {

TEST(QkP877WKeyStep, ArrowsToggleBetweenTheTwoPagesAndRestartTheRowCycle)
{
    MonitorState state;
    state.dumpRowOffset = 0x70;
    EXPECT_EQ(key_step(state, "\x1F"), KeyAction::PageMoved);  // Down
    EXPECT_EQ(state.dumpBase, 0x100);
    EXPECT_EQ(state.dumpRowOffset, 0);
    key_step(state, "\x1F");
    EXPECT_EQ(state.dumpBase, 0x000);
    key_step(state, "\x1E");  // Up from 000
    EXPECT_EQ(state.dumpBase, 0x100);
    key_step(state, "\x1E");
    EXPECT_EQ(state.dumpBase, 0x000);
}

TEST(QkP877WKeyStep, EscAndPageKeysAreTypedAndTheLineIsCutAfterAppending)
{
    MonitorState state;
    for (const char* key : {"\x1B", "\x13", "\x14"})
        EXPECT_EQ(key_step(state, key), KeyAction::LineEdited);
    EXPECT_EQ(state.commandLine, "\x1B\x13\x14");
    EXPECT_EQ(state.dumpBase, 0);
    EXPECT_EQ(key_step(state, "\x08"), KeyAction::LineEdited);  // Backspace
    EXPECT_EQ(state.commandLine, "\x1B\x13");
    state.commandLine = std::string(37, 'A');
    key_step(state, "B");
    EXPECT_EQ(state.commandLine, std::string(37, 'A')) << "a 38th byte never shows";
    EXPECT_EQ(key_step(state, "\r"), KeyAction::Execute);
    EXPECT_EQ(state.commandLine.size(), 37u);
    state.commandLine.clear();
    EXPECT_EQ(key_step(state, ""), KeyAction::LineEdited);
    EXPECT_EQ(state.commandLine, "");
}

TEST(QkP877WModeControl, FunctionKeysOnlyRequestAndOnlyTenReopens)
{
    MonitorState state;
    state.currentMode = DisplayMode::Log;
    state.changes.lastValue = "12";
    press_function_key(state, 12);  // F12 has no handler
    EXPECT_EQ(state.requestedMode, DisplayMode::None);
    press_function_key(state, 11);
    EXPECT_EQ(state.requestedMode, DisplayMode::Log);
    EXPECT_EQ(state.changes.lastValue, "12") << "the last value survives F11";
    EXPECT_EQ(take_mode_entry(state), std::nullopt) << "a repeated 11 does not restart the change list";
    EXPECT_EQ(state.requestedMode, DisplayMode::None);

    state.currentMode = DisplayMode::ChosenWatch;
    press_function_key(state, 10);
    EXPECT_EQ(take_mode_entry(state), DisplayMode::ChosenWatch);
    press_function_key(state, 1);
    EXPECT_EQ(take_mode_entry(state), DisplayMode::Dump);
    state.currentMode = DisplayMode::Dump;
    EXPECT_EQ(take_mode_entry(state), std::nullopt);
}

TEST(QkP877WScreen, StatusLineHelpBlockAndChangeNumber)
{
    monitor::Settings settings;
    for (std::int16_t channel : {0, 1, 2}) {
        settings.channel = channel;
        EXPECT_EQ(channel_status_text(settings), "Channel=COM" + std::to_string(channel));
    }
    settings.channel = 7;
    EXPECT_EQ(channel_status_text(settings), "Channel=COM3");
    settings.channel = -1;
    EXPECT_EQ(channel_status_text(settings), "Channel=COM3");

    EXPECT_LT(screen::kBanner.column + static_cast<int>(screen::kBannerText.size()), 70);
    for (const auto& help : screen::kHelpBlock)
        EXPECT_EQ(help.place.column, 60);
    EXPECT_EQ(screen::kEntryFailureBlank.column + screen::kEntryFailureBlanks - 1, 23);

    // The change number fits five positions up to 99999.
    EXPECT_EQ(monitor::change_number_text(10000, screen::kChangeNumberPicture), "10000");
    EXPECT_EQ(monitor::change_number_text(1, screen::kChangeNumberPicture), "    1");
    EXPECT_EQ(monitor::change_number_text(100000, screen::kChangeNumberPicture), "% 100000");
    EXPECT_EQ(monitor::change_row_text(10000, screen::kChangeNumberPicture, "26/12/07", "06:10:00", "WORD", ""),
              "10000 26/12/07 06:10:00 WORD ");
}

}  // namespace
}  // namespace qkp877w
