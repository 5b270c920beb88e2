// QkP877W's own decisions: the key step, the function keys and mode step,
// the status line, and the change number's five-position picture.
#include <gtest/gtest.h>

#include "monitors/monitor_shared/change_log.h"
#include "monitors/monitor_shared/key_step.h"
#include "monitors/monitor_shared/mode_control.h"
#include "monitors/monitor_shared/monitor_program.h"
#include "monitors/qkp877w/board_description.h"
#include "monitors/qkp877w/screen_map.h"

namespace monitor {
namespace {

namespace screen = qkp877w::screen;

KeyAction key_step(MonitorState& state, std::string_view key) { return monitor::key_step(state, key, qkp877w::kBoard); }
void press_function_key(MonitorState& state, int key) { monitor::press_function_key(state, key, qkp877w::kBoard); }
std::optional<DisplayMode> take_mode_entry(MonitorState& state)
{
    return monitor::take_mode_entry(state, qkp877w::kBoard);
}
std::string channel_status_text(const Settings& settings)
{
    return monitor::channel_status_text(settings, qkp877w::kBoard);
}

TEST(QkP877WKeyStep, ArrowsToggleBetweenTheTwoPagesAndRestartTheRowCycle)
{
    MonitorState state;
    state.dump_row_offset = 0x70;
    EXPECT_EQ(key_step(state, "\x1F"), KeyAction::PageMoved);  // Down
    EXPECT_EQ(state.dump_base, 0x100);
    EXPECT_EQ(state.dump_row_offset, 0);
    key_step(state, "\x1F");
    EXPECT_EQ(state.dump_base, 0x000);
    key_step(state, "\x1E");  // Up from 000
    EXPECT_EQ(state.dump_base, 0x100);
    key_step(state, "\x1E");
    EXPECT_EQ(state.dump_base, 0x000);
}

TEST(QkP877WKeyStep, EscAndPageKeysAreTypedAndTheLineIsCutAfterAppending)
{
    MonitorState state;
    for (const char* key : {"\x1B", "\x13", "\x14"})
        EXPECT_EQ(key_step(state, key), KeyAction::LineEdited);
    EXPECT_EQ(state.command_line, "\x1B\x13\x14");
    EXPECT_EQ(state.dump_base, 0);
    EXPECT_EQ(key_step(state, "\x08"), KeyAction::LineEdited);  // Backspace
    EXPECT_EQ(state.command_line, "\x1B\x13");
    state.command_line = std::string(37, 'A');
    key_step(state, "B");
    EXPECT_EQ(state.command_line, std::string(37, 'A')) << "a 38th byte never shows";
    EXPECT_EQ(key_step(state, "\r"), KeyAction::Execute);
    EXPECT_EQ(state.command_line.size(), 37u);
    state.command_line.clear();
    EXPECT_EQ(key_step(state, ""), KeyAction::LineEdited);
    EXPECT_EQ(state.command_line, "");
}

TEST(QkP877WModeControl, FunctionKeysOnlyRequestAndOnlyTenReopens)
{
    MonitorState state;
    state.current_mode = DisplayMode::Log;
    state.log.last_value = "12";
    press_function_key(state, 12);  // F12 has no handler
    EXPECT_EQ(state.requested_mode, DisplayMode::None);
    press_function_key(state, 11);
    EXPECT_EQ(state.requested_mode, DisplayMode::Log);
    EXPECT_EQ(state.log.last_value, "12") << "the last value survives F11";
    EXPECT_EQ(take_mode_entry(state), std::nullopt) << "a repeated 11 does not restart the change list";
    EXPECT_EQ(state.requested_mode, DisplayMode::None);

    state.current_mode = DisplayMode::ChosenWatch;
    press_function_key(state, 10);
    EXPECT_EQ(take_mode_entry(state), DisplayMode::ChosenWatch);
    press_function_key(state, 1);
    EXPECT_EQ(take_mode_entry(state), DisplayMode::Dump);
    state.current_mode = DisplayMode::Dump;
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

    EXPECT_LT(monitor::kBannerPlace.column + static_cast<int>(screen::kBannerText.size()), 70);
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
}  // namespace monitor
