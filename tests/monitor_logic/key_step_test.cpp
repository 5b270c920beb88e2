#include <gtest/gtest.h>

#include "monitors/monitor_shared/dump_page.h"
#include "monitors/monitor_shared/key_step.h"
#include "monitors/monitor_shared/legend.h"
#include "monitors/monitor_shared/mode_control.h"
#include "monitors/qk14/board_description.h"
#include "monitors/qk14/screen_map.h"
#include "monitors/qkp877w/board_description.h"

namespace monitor {
namespace {

namespace screen = qk14::screen;

KeyAction key_step(MonitorState& state, std::string_view key) { return monitor::key_step(state, key, qk14::kBoard); }
FunctionKeyEffect press_function_key(MonitorState& state, int key)
{
    return monitor::press_function_key(state, key, qk14::kBoard);
}
std::optional<DisplayMode> take_mode_entry(MonitorState& state) { return monitor::take_mode_entry(state, qk14::kBoard); }
std::string channel_status_text(const Settings& settings) { return monitor::channel_status_text(settings, qk14::kBoard); }

TEST(KeyStep, TypingBackspaceAndTheThirtyEighthCharacter)
{
    MonitorState state;
    for (char c : std::string("r1234"))
        EXPECT_EQ(key_step(state, std::string(1, c)), KeyAction::LineEdited);
    EXPECT_EQ(state.command_line, "r1234");  // not upper-cased on screen
    key_step(state, std::string(1, key::kBackspace));
    EXPECT_EQ(state.command_line, "r123");
    state.command_line = std::string(37, '1');
    key_step(state, "X");
    EXPECT_EQ(state.command_line.size(), 38u);  // shown for one cycle
    key_step(state, "");
    EXPECT_EQ(state.command_line, std::string(37, '1'));
    key_step(state, "Y");
    key_step(state, "Z");
    EXPECT_EQ(state.command_line, std::string(37, '1') + "Z");
    // Backspace removes one byte, half of a double-byte character.
    state.command_line = "R\x82\xa0";
    key_step(state, std::string(1, key::kBackspace));
    EXPECT_EQ(state.command_line, "R\x82");
    state.command_line.clear();
    key_step(state, std::string(1, key::kBackspace));
    EXPECT_EQ(state.command_line, "");
}

TEST(KeyStep, OtherEditingKeysAreTypedIntoTheLine)
{
    MonitorState state;
    for (char code : {char(29), char(28), char(11), char(21), char(18), char(127)})
        key_step(state, std::string(1, code));
    EXPECT_EQ(state.command_line.size(), 6u);
}

TEST(KeyStep, PagingKeysMoveAndRestartTheRowCycle)
{
    MonitorState state;
    state.dump_base = 0xFF00;
    state.dump_row_offset = 0x70;
    EXPECT_EQ(key_step(state, std::string(1, key::kDown)), KeyAction::PageMoved);
    EXPECT_EQ(state.dump_base, 0x0000);
    EXPECT_EQ(state.dump_row_offset, 0);
    key_step(state, std::string(1, key::kUp));
    EXPECT_EQ(state.dump_base, 0xFF00);
    key_step(state, std::string(1, key::kPageDown));
    EXPECT_EQ(state.dump_base, 0x0F00);
    key_step(state, std::string(1, key::kPageUp));
    key_step(state, std::string(1, key::kPageUp));
    EXPECT_EQ(state.dump_base, 0xEF00);
    EXPECT_EQ(key_step(state, std::string(1, key::kEscape)), KeyAction::Restart);
}

TEST(KeyStep, EnterRemembersTheLineAndF12ReplaysIt)
{
    MonitorState state;
    state.command_line = "R8000";
    EXPECT_EQ(key_step(state, std::string(1, key::kEnter)), KeyAction::Execute);
    EXPECT_EQ(state.last_command, "R8000");
    state.command_line.clear();
    EXPECT_TRUE(state.command_line.empty());
    press_function_key(state, 12);
    EXPECT_TRUE(state.repeat_requested);
    // The key polled in that cycle is dropped.
    EXPECT_EQ(key_step(state, "X"), KeyAction::Repeat);
    EXPECT_EQ(state.command_line, "R8000");
    EXPECT_FALSE(state.repeat_requested);

    // Enter on an empty line is remembered too, so F12 replays the error.
    state.command_line.clear();
    key_step(state, std::string(1, key::kEnter));
    EXPECT_EQ(state.last_command, "");
}

TEST(Legend, CellsInDrawingOrderWithTheCurrentModeHighlighted)
{
    FunctionKeyNames names;
    names[2] = "MOTOR";
    names[10] = "abc";
    names[6] = std::string(10'000'000, 'X');  // cut to the cell, never split a double-byte character
    names[7] = "ABCDEFGHI\x82\xa0";
    const auto cells = monitor::legend_cells(DisplayMode::ChosenWatch, names);
    ASSERT_EQ(cells.size(), 11u);
    EXPECT_EQ(cells[0].text, "F1=256dump");
    EXPECT_FALSE(cells[0].blank_first);
    EXPECT_EQ(cells[0].colour.colour, 7);
    EXPECT_EQ(cells[1].text, "F2=MOTOR");
    EXPECT_EQ(cells[1].place.column, 14);
    EXPECT_TRUE(cells[1].blank_first);
    EXPECT_EQ(cells[5].text, "F6=" + std::string(10, 'X'));
    EXPECT_EQ(cells[6].text, "F7=ABCDEFGHI");
    EXPECT_EQ(cells[9].text, "F10=abc");
    EXPECT_EQ(cells[9].colour.colour, 5);
    EXPECT_EQ(cells[9].colour.attribute, 5);
    EXPECT_EQ(cells[10].text, "F11=");
    EXPECT_EQ(cells[10].place.row, 23);
    EXPECT_EQ(monitor::legend_cells(DisplayMode::Dump, names)[0].colour.colour, 5);
    // Cells on one row are 13 columns apart, so a blanked cell never overlaps the next.
    for (std::size_t i = 1; i + 1 < cells.size(); ++i)
        if (cells[i].place.row == cells[i + 1].place.row) {
            EXPECT_EQ(cells[i + 1].place.column - cells[i].place.column, monitor::kLegendCellWidth);
        }
}

TEST(CommandLineEdit, QkP877WCutsAfterAppending)
{
    const std::string full(37, '1');
    EXPECT_EQ(monitor::typed_command_line(full, "X", qkp877w::kBoard), full);
    EXPECT_EQ(monitor::typed_command_line("R1", "2", qkp877w::kBoard), "R12");
    EXPECT_EQ(monitor::typed_command_line(full, "X", qk14::kBoard), full + "X");
}

TEST(CommandDisplay, ResponseAndCommandRows)
{
    EXPECT_EQ(screen::response_text("00FF", false), "00FF");
    EXPECT_EQ(screen::response_text("00FF", true), "Error" + std::string(38, ' '));
    EXPECT_EQ(command_row_text("R12", screen::kCommandTrailingBlanks), "R12  ");
}

TEST(ModeControl, FunctionKeysRequestModesAndEndLogging)
{
    MonitorState state;
    state.current_mode = DisplayMode::Log;
    state.log.logging = true;
    state.log.last_value = "12";
    auto effect = press_function_key(state, 3);
    EXPECT_TRUE(effect.close_log_file);
    EXPECT_TRUE(effect.switch_key_off);
    EXPECT_FALSE(state.log.logging);
    EXPECT_EQ(state.log.last_value, "");
    EXPECT_EQ(state.requested_mode, DisplayMode{3});

    state.log.logging = true;
    state.current_mode = DisplayMode::Log;
    effect = press_function_key(state, 11);
    EXPECT_TRUE(effect.close_log_file);
    EXPECT_EQ(state.current_mode, DisplayMode::None);
    EXPECT_EQ(state.requested_mode, DisplayMode::Log);

    MonitorState quiet;
    EXPECT_FALSE(press_function_key(quiet, 1).close_log_file);
    EXPECT_FALSE(press_function_key(quiet, 12).switch_key_off);
}

TEST(ModeControl, ModeStepRunsChangesAndAlwaysReopensTheFilePrompts)
{
    MonitorState state;
    state.current_mode = DisplayMode::Dump;
    EXPECT_FALSE(take_mode_entry(state));
    state.requested_mode = DisplayMode::Dump;
    EXPECT_FALSE(take_mode_entry(state));  // F1 on the dump page: no redraw
    EXPECT_EQ(state.requested_mode, DisplayMode::None);
    state.requested_mode = DisplayMode{4};
    EXPECT_EQ(take_mode_entry(state), DisplayMode{4});
    state.current_mode = DisplayMode::ChosenWatch;
    state.requested_mode = DisplayMode::ChosenWatch;
    EXPECT_EQ(take_mode_entry(state), DisplayMode::ChosenWatch);
    state.current_mode = DisplayMode::Log;
    state.requested_mode = DisplayMode::Log;
    EXPECT_EQ(take_mode_entry(state), DisplayMode::Log);
}

TEST(ScreenMap, StatusLineAndFixedTexts)
{
    monitor::Settings settings;
    settings.channel = 1;
    settings.data_bits = 8;
    EXPECT_EQ(channel_status_text(settings), "Channel=COM1 8bit");
    settings.channel = 9;
    settings.data_bits = 0;
    EXPECT_EQ(channel_status_text(settings), "Channel=COM3 0bit");
    settings.channel = -1;
    EXPECT_EQ(channel_status_text(settings), "Channel=COM3 0bit");

    // Every help text fits the 80 columns; the arrows are double-byte.
    for (const auto& item : screen::kHelpBlock)
        EXPECT_LE(item.place.column + static_cast<int>(item.text.size()), screen::kColumns) << item.text;
    EXPECT_EQ(screen::kHelpBlock[12].text.substr(0, 2), "\x81\xaa");
    // The arrow lines line up with "PageUp  : -4KB".
    EXPECT_EQ(screen::kHelpBlock[12].text.size(), screen::kHelpBlock[14].text.size());
    EXPECT_EQ(monitor::kDumpPlaceholder.size(), 48u);
    EXPECT_EQ(screen::kErrorText.size() + screen::kErrorTrailingBlanks, 43u);
}

}  // namespace
}  // namespace monitor
