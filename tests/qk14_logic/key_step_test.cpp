#include <gtest/gtest.h>

#include "monitors/monitor_shared/dump_page_drawing.h"

#include "monitors/monitor_shared/command_line_edit.h"
#include "monitors/monitor_shared/legend.h"
#include "monitors/qk14/command_display.h"
#include "monitors/qk14/key_step.h"
#include "monitors/qk14/mode_control.h"
#include "monitors/qk14/screen_map.h"

namespace qk14 {
namespace {

TEST(KeyStep, TypingBackspaceAndTheThirtyEighthCharacter)
{
    MonitorState state;
    for (char c : std::string("r1234"))
        EXPECT_EQ(key_step(state, std::string(1, c)), KeyAction::LineEdited);
    EXPECT_EQ(state.commandLine, "r1234");  // not upper-cased on screen
    key_step(state, std::string(1, key::kBackspace));
    EXPECT_EQ(state.commandLine, "r123");
    state.commandLine = std::string(37, '1');
    key_step(state, "X");
    EXPECT_EQ(state.commandLine.size(), 38u);  // shown for one cycle
    key_step(state, "");
    EXPECT_EQ(state.commandLine, std::string(37, '1'));
    key_step(state, "Y");
    key_step(state, "Z");
    EXPECT_EQ(state.commandLine, std::string(37, '1') + "Z");
    // Backspace removes one byte, half of a double-byte character.
    state.commandLine = "R\x82\xa0";
    key_step(state, std::string(1, key::kBackspace));
    EXPECT_EQ(state.commandLine, "R\x82");
    state.commandLine.clear();
    key_step(state, std::string(1, key::kBackspace));
    EXPECT_EQ(state.commandLine, "");
}

TEST(KeyStep, OtherEditingKeysAreTypedIntoTheLine)
{
    MonitorState state;
    for (char code : {char(29), char(28), char(11), char(21), char(18), char(127)})
        key_step(state, std::string(1, code));
    EXPECT_EQ(state.commandLine.size(), 6u);
}

TEST(KeyStep, PagingKeysMoveAndRestartTheRowCycle)
{
    MonitorState state;
    state.dumpBase = 0xFF00;
    state.dumpRowOffset = 0x70;
    EXPECT_EQ(key_step(state, std::string(1, key::kDown)), KeyAction::PageMoved);
    EXPECT_EQ(state.dumpBase, 0x0000);
    EXPECT_EQ(state.dumpRowOffset, 0);
    key_step(state, std::string(1, key::kUp));
    EXPECT_EQ(state.dumpBase, 0xFF00);
    key_step(state, std::string(1, key::kPageDown));
    EXPECT_EQ(state.dumpBase, 0x0F00);
    key_step(state, std::string(1, key::kPageUp));
    key_step(state, std::string(1, key::kPageUp));
    EXPECT_EQ(state.dumpBase, 0xEF00);
    EXPECT_EQ(key_step(state, std::string(1, key::kEscape)), KeyAction::Restart);
}

TEST(KeyStep, EnterRemembersTheLineAndF12ReplaysIt)
{
    MonitorState state;
    state.commandLine = "R8000";
    EXPECT_EQ(key_step(state, std::string(1, key::kEnter)), KeyAction::Execute);
    EXPECT_EQ(state.lastCommand, "R8000");
    finish_command(state);
    EXPECT_TRUE(state.commandLine.empty());
    press_function_key(state, 12);
    EXPECT_TRUE(state.repeatRequested);
    // The key polled in that cycle is dropped.
    EXPECT_EQ(key_step(state, "X"), KeyAction::Repeat);
    EXPECT_EQ(state.commandLine, "R8000");
    EXPECT_FALSE(state.repeatRequested);

    // Enter on an empty line is remembered too, so F12 replays the error.
    finish_command(state);
    key_step(state, std::string(1, key::kEnter));
    EXPECT_EQ(state.lastCommand, "");
}

TEST(Legend, CellsInDrawingOrderWithTheCurrentModeHighlighted)
{
    std::array<std::string, 13> names;
    names[2] = "MOTOR";
    names[10] = "abc";
    const auto cells = monitor::legend_cells(10, names);
    ASSERT_EQ(cells.size(), 11u);
    EXPECT_EQ(cells[0].text, "F1=256dump");
    EXPECT_FALSE(cells[0].blankFirst);
    EXPECT_EQ(cells[0].colour.colour, 7);
    EXPECT_EQ(cells[1].text, "F2=MOTOR");
    EXPECT_EQ(cells[1].place.column, 14);
    EXPECT_TRUE(cells[1].blankFirst);
    EXPECT_EQ(cells[9].text, "F10=abc");
    EXPECT_EQ(cells[9].colour.colour, 5);
    EXPECT_EQ(cells[9].colour.attribute, 5);
    EXPECT_EQ(cells[10].text, "F11=");
    EXPECT_EQ(cells[10].place.row, 23);
    EXPECT_EQ(monitor::legend_cells(1, names)[0].colour.colour, 5);
    // Cells on one row are 13 columns apart, so a blanked cell never overlaps the next.
    for (std::size_t i = 1; i + 1 < cells.size(); ++i)
        if (cells[i].place.row == cells[i + 1].place.row) {
            EXPECT_EQ(cells[i + 1].place.column - cells[i].place.column, monitor::kLegendCellWidth);
        }
}

TEST(CommandLineEdit, QkP877WCutsAfterAppending)
{
    const std::string full(37, '1');
    EXPECT_EQ(monitor::typed_command_line(full, "X", monitor::MonitorKind::QkP877W), full);
    EXPECT_EQ(monitor::typed_command_line("R1", "2", monitor::MonitorKind::QkP877W), "R12");
    EXPECT_EQ(monitor::typed_command_line(full, "X", monitor::MonitorKind::Qk14), full + "X");
}

TEST(CommandDisplay, ResponseAndCommandRows)
{
    EXPECT_EQ(response_text("00FF", false), "00FF");
    EXPECT_EQ(response_text("00FF", true), "Error" + std::string(38, ' '));
    EXPECT_EQ(command_row_text("R12"), "R12  ");
}

TEST(ModeControl, FunctionKeysRequestModesAndEndLogging)
{
    MonitorState state;
    state.currentMode = DisplayMode::Log;
    state.log.logging = true;
    state.log.lastLoggedValue = "12";
    auto effect = press_function_key(state, 3);
    EXPECT_TRUE(effect.closeLogFile);
    EXPECT_TRUE(effect.switchKeyOff);
    EXPECT_FALSE(state.log.logging);
    EXPECT_EQ(state.log.lastLoggedValue, "");
    EXPECT_EQ(state.requestedMode, DisplayMode{3});

    state.log.logging = true;
    state.currentMode = DisplayMode::Log;
    effect = press_function_key(state, 11);
    EXPECT_TRUE(effect.closeLogFile);
    EXPECT_EQ(state.currentMode, DisplayMode::None);
    EXPECT_EQ(state.requestedMode, DisplayMode::Log);

    MonitorState quiet;
    EXPECT_FALSE(press_function_key(quiet, 1).closeLogFile);
    EXPECT_FALSE(press_function_key(quiet, 12).switchKeyOff);
}

TEST(ModeControl, ModeStepRunsChangesAndAlwaysReopensTheFilePrompts)
{
    MonitorState state;
    state.currentMode = DisplayMode::Dump;
    EXPECT_FALSE(take_mode_entry(state));
    state.requestedMode = DisplayMode::Dump;
    EXPECT_FALSE(take_mode_entry(state));  // F1 on the dump page: no redraw
    EXPECT_EQ(state.requestedMode, DisplayMode::None);
    state.requestedMode = DisplayMode{4};
    EXPECT_EQ(take_mode_entry(state), DisplayMode{4});
    state.currentMode = DisplayMode::ChosenWatch;
    state.requestedMode = DisplayMode::ChosenWatch;
    EXPECT_EQ(take_mode_entry(state), DisplayMode::ChosenWatch);
    state.currentMode = DisplayMode::Log;
    state.requestedMode = DisplayMode::Log;
    EXPECT_EQ(take_mode_entry(state), DisplayMode::Log);
}

TEST(ScreenMap, StatusLineAndFixedTexts)
{
    monitor::Settings settings;
    settings.channel = 1;
    settings.dataBits = 8;
    EXPECT_EQ(channel_status_text(settings), "Channel=COM1 8bit");
    settings.channel = 9;
    settings.dataBits = 0;
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
}  // namespace qk14
