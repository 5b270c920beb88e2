// Qk14's description: its identity and help rows, its screen's places, and
// its rules in the shared skeleton. Esc restarts from start-up, Page Up/Down
// move 4 KB and the arrows 256 bytes within 64 KB; commands are strict and J
// moves the dump page; F1-F11 end logging, F11 prompts again, F12 replays
// the last command; the status line shows the data bits and byte order;
// QK.DEF gives CH=, BT=, BL=, AD= and F2=-F9=.
#pragma once

#include "monitors/monitor_shared/board_description.h"
#include "monitors/qk14/screen_map.h"

namespace qk14 {

inline constexpr monitor::HelpRow kHelpKeys[] = {
    {"F1", "dump page: 256 bytes from the current address"},
    {"F2 .. F9", "watch page of the file QK.DEF names (F2=NAME: NAME.DAT)"},
    {"F10", "pick a watch file from the list and show it"},
    {"F11", "pick a watch file and show the changes of its first"},
    {"", "value; NAME/F appends them to NAME.DAS, NAME/D empties"},
    {"", "the log first"},
    {"F12", "execute the last command line again"},
    {"Alt+1..Alt+9, Alt+0", "F1 .. F10 (where the desktop takes function keys)"},
    {"Alt+-, Alt+=", "F11, F12"},
    {"Up, Down", "dump page 256 bytes back, forward"},
    {"Page Up, Page Down", "dump page 4096 bytes back, forward"},
    {"Enter", "execute the command line"},
    {"Backspace", "delete the last character"},
    {"Esc", "restart: read QK.DEF again and reopen the port"},
    {"Ctrl+C", "quit (after a key press); closing the window too"}};

inline constexpr monitor::HelpRow kHelpCommands[] = {
    {"Raaaa", "read 16 bytes"},
    {"Waaaadd..", "write 1 to 16 bytes"},
    {"Waaaa:text", "write the text's bytes"},
    {"Saaaab, Caaaab", "set, clear bit b of a memory byte"},
    {"Ipp, Oppdd", "read, write I/O port p"},
    {"Hppb, Lppb", "set, clear bit b of I/O port p"},
    {"Jpp", "dump page from pp00"}};

inline constexpr monitor::HelpRow kHelpFiles[] = {
    {"QK.DEF", "settings: CH=channel (0: COM1), BT=7 or 8 data bits,"},
    {"", "BL=0 little or 1 big endian, AD=first dump page,"},
    {"", "F2= .. F9= watch file names"},
    {"*.DAT", "watch page: column,row,label,address,format per line"},
    {"*.DAS", "change log: NNNN,yy/mm/dd,hh:mm:ss,reply digits"}};

inline constexpr monitor::BoardDescription kBoard{
    .kind = monitor::MonitorKind::Qk14,
    .module_name = "Qk14",
    .program = "qk14",
    .summary = "Serial monitor for a Z80 target board.",
    .help_keys = kHelpKeys,
    .help_commands_heading = "Commands (hexadecimal: a address, p port, d data, b bit 0-7)",
    .help_commands = kHelpCommands,
    .help_files = kHelpFiles,
    .banner_text = screen::kBannerText,
    .help_block = screen::kHelpBlock,
    .file_list_start = screen::kFileListStart,
    .file_prompt_place = screen::kFilePromptPlace,
    .command_trailing_blanks = screen::kCommandTrailingBlanks,
    .command_clear_blanks = screen::kCommandClearBlanks,
    .change_number_picture = screen::kLogNumberPicture,
    .strict_commands = true,
    .jump_command = true,
    .refusal_reads_error = true,
    .restarts_on_escape = true,
    .page_keys_move_dump = true,
    .typed_key_join = monitor::TypedKeyJoin::LineCutThenKey,
    .dump_base_mask = 0xFF00,  // wraps within 64 KB on multiples of 256
    .function_key_count = 12,
    .f12_repeats_command = true,
    .function_keys_end_logging = true,
    .log_prompt_reopens = true,
    .status_shows_data_bits = true,
    .status_shows_byte_order = true,
    .clock_shows_link_fault = true,
    .words_follow_byte_order = true,
    .word_picture_width = 5,
    .word_value_locate_shift = 0,
    .hex_word_ends_page_line = false,
    .settings_take_line_and_address = true,
};

}  // namespace qk14
