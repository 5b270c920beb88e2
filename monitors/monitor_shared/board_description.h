// Everything one board does differently from the other, as data the shared
// skeleton and its decision functions read: the program's identity and help
// rows, its screen's own places, and the rules of its commands, keys,
// function keys, status line, watch values and settings file. Each board
// declares its description in its own folder (`board_description.h`); the
// shared code asks the description, never which board it is.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "monitors/monitor_shared/screen_place.h"

namespace monitor {

// Which board a description describes; the shared code reads the rules below.
enum class MonitorKind { Qk14, QkP877W };

// One line of a --help table: the key, command or file, and what it does.
struct HelpRow {
    std::string_view left;
    std::string_view right;
};

// How a typed key joins the command line, which holds kCommandLineMax
// characters.
enum class TypedKeyJoin {
    LineCutThenKey,  // the line cut to the maximum, then the key appended
    KeyThenCut,      // the key appended, then the whole cut to the maximum
};

struct BoardDescription {
    MonitorKind kind;

    // Identity: runtime module name, executable name, --help summary line.
    std::string_view module_name;
    std::string_view program;
    std::string_view summary;
    // --help rows of its own.
    std::span<const HelpRow> help_keys;
    std::string_view help_commands_heading;
    std::span<const HelpRow> help_commands;
    std::span<const HelpRow> help_files;

    // Screen.
    std::string_view banner_text;
    std::span<const PlacedText> help_block;  // right of the dump rows
    ScreenPlace file_list_start;             // the "*.DAT" list of F10 and F11
    ScreenPlace file_prompt_place;
    int command_trailing_blanks;  // after the command line on row 21
    int command_clear_blanks;     // wipe row 21 after a command
    int change_number_picture;    // "#" positions of the change number

    // Commands.
    bool strict_commands;      // every length exact and bit numbers 0-7; else minimum lengths (R exact)
    bool jump_command;         // "Jpp" moves the dump page to pp00
    bool refusal_reads_error;  // a scripted refusal's reply is "Error" (else empty)

    // Keys.
    bool restarts_on_escape;       // Esc closes everything and runs start-up again
    bool page_keys_move_dump;      // Page Up/Down move the dump page by kDumpPageStep
    TypedKeyJoin typed_key_join;
    std::int32_t dump_base_mask;   // a moved dump page start keeps these bits

    // Function keys and modes.
    int function_key_count;           // F1 up to this key are bound
    bool f12_repeats_command;         // F12 runs the last command line again
    bool function_keys_end_logging;   // F1-F11 close the change log; F11 forgets its last value
    bool log_prompt_reopens;          // F11 pressed in its own mode prompts again

    // Status line and clock.
    bool status_shows_data_bits;   // "Channel=COMn 8bit"
    bool status_shows_byte_order;  // "Little"/"Big"
    bool clock_shows_link_fault;   // the clock reads "Error   " while the target is silent

    // Watch values.
    bool words_follow_byte_order;   // "Q"/"W" words in the "BL=" order, else low byte first
    int word_picture_width;         // "#" positions of a "Q" value
    int word_value_locate_shift;    // where a "Q" value goes after its erase blanks, relative to them
    bool hex_word_ends_page_line;   // "W" ends its line on a watch page too (always on the change row)

    // Settings file.
    bool settings_take_line_and_address;  // QK.DEF's BT=, BL= and AD= records apply
};

}  // namespace monitor
