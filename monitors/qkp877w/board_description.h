// QkP877W's description: its identity and help rows, its screen's places,
// and its rules in the shared skeleton. The arrows toggle the dump page
// between 000 and 100; commands take minimum lengths (R exact) and a refusal
// is silent; F1-F11 only ask for their mode, and the change list keeps its
// last value from one visit to the next; QK.DEF gives CH= and F2=-F9=.
#pragma once

#include "monitors/monitor_shared/board_description.h"
#include "monitors/qkp877w/screen_map.h"

namespace qkp877w {

inline constexpr monitor::HelpRow kHelpKeys[] = {
    {"F1", "dump page: 256 bytes"},
    {"F2 .. F9", "watch page of the file QK.DEF names (F2=NAME: NAME.DAT)"},
    {"F10", "pick a watch file from the list and show it"},
    {"F11", "pick a watch file and list changes of its first value"},
    {"Alt+1..Alt+9, Alt+0", "F1 .. F10 (where the desktop takes function keys)"},
    {"Alt+-", "F11"},
    {"Up, Down", "dump page 000 or 100"},
    {"Enter", "execute the command line"},
    {"Backspace", "delete the last character"},
    {"Ctrl+C", "quit (after a key press); closing the window too"}};

inline constexpr monitor::HelpRow kHelpCommands[] = {
    {"Raaaa", "read 16 bytes"},
    {"Waaaadd..", "write bytes"},
    {"Waaaa:text", "write the text's bytes"},
    {"Saaaab, Caaaab", "set, clear a bit"},
    {"Ipp, Oppdd", "read, write a port"},
    {"Hppb, Lppb", "set, clear a port bit"}};

inline constexpr monitor::HelpRow kHelpFiles[] = {
    {"QK.DEF", "settings: CH=channel (0: COM1), F2= .. F9= watch files"},
    {"*.DAT", "watch page: column,row,label,address,format per line"}};

inline constexpr monitor::BoardDescription kBoard{
    .kind = monitor::MonitorKind::QkP877W,
    .module_name = "QkP877W",
    .program = "qkp877w",
    .summary = "Serial monitor for a PIC16F877 target board.",
    .help_keys = kHelpKeys,
    .help_commands_heading = "Commands (hexadecimal: a address, d data, p port, b bit)",
    .help_commands = kHelpCommands,
    .help_files = kHelpFiles,
    .banner_text = screen::kBannerText,
    .help_block = screen::kHelpBlock,
    .file_list_start = screen::kFileListStart,
    .file_prompt_place = screen::kFilePromptPlace,
    .command_trailing_blanks = screen::kCommandTrailingBlanks,
    .command_clear_blanks = screen::kCommandClearBlanks,
    .change_number_picture = screen::kChangeNumberPicture,
    .strict_commands = false,
    .jump_command = false,
    .refusal_reads_error = false,
    .restarts_on_escape = false,
    .page_keys_move_dump = false,
    .typed_key_join = monitor::TypedKeyJoin::KeyThenCut,
    .dump_base_mask = 0x100,  // toggles between 000 and 100
    .function_key_count = 11,
    .f12_repeats_command = false,
    .function_keys_end_logging = false,
    .log_prompt_reopens = false,
    .status_shows_data_bits = false,
    .status_shows_byte_order = false,
    .clock_shows_link_fault = false,
    .words_follow_byte_order = false,
    .word_picture_width = 6,
    .word_value_locate_shift = -1,  // it locates to the value column itself, one left of the blanks
    .hex_word_ends_page_line = true,
    .settings_take_line_and_address = false,
};

}  // namespace qkp877w
