// Everything a monitor keeps: one record for the life of the program. Qk14
// keeps it across an Esc restart (start-up sets only what it reads again).
#pragma once

#include <cstdint>
#include <string>

#include "monitors/monitor_shared/change_log.h"
#include "monitors/monitor_shared/settings_file.h"
#include "monitors/monitor_shared/target_link.h"
#include "monitors/monitor_shared/watch_page.h"

namespace monitor {

// What the work area shows. The number of each mode is the function key
// that asks for it, so F1-F11 request modes 1-11.
enum class DisplayMode : std::int16_t {
    None = 0,  // transient, while a mode is being left
    Dump = 1,
    // 2-9: watch page of F2-F9
    ChosenWatch = 10,
    Log = 11,  // Qk14: change log; QkP877W: change list
};

inline constexpr DisplayMode mode_of_key(int key) { return static_cast<DisplayMode>(key); }
inline constexpr int key_of_mode(DisplayMode mode) { return static_cast<int>(mode); }
// Watch pages: F2-F9 and the chosen file of F10.
inline constexpr bool is_watch_mode(DisplayMode mode)
{
    return key_of_mode(mode) >= 2 && key_of_mode(mode) <= key_of_mode(DisplayMode::ChosenWatch);
}

struct ChangeLogState {
    bool logging = false;    // Qk14: the log file is open for appending
    std::string last_value;  // Qk14: "" at each entry of the log; QkP877W: kept across visits
    ChangeCounter change_number;
};

struct MonitorState {
    DisplayMode current_mode = DisplayMode::None;
    DisplayMode requested_mode = DisplayMode::None;  // None: nothing pending
    std::string command_line;                        // at most 37 bytes (Qk14: 38 for one cycle)
    std::string last_command;                        // Qk14: what F12 replays
    bool repeat_requested = false;
    std::string reply;
    bool reply_failed = false;
    bool link_fault = false;          // the last dump row or watch value did not come
    bool notice_shown = false;        // a notice fills the response row
    std::uint16_t dump_base = 0;       // Qk14: multiple of 256; QkP877W: 0x000 or 0x100
    std::uint16_t dump_row_offset = 0;  // 0, 16, ..., 240
    Settings settings;                  // with the names of F2-F11
    TargetLink link;
    WatchPage watch_page;
    std::string watch_file_name;  // current watch file ("" after a failed load)
    ChangeLogState log;
};

// What start-up (and the Esc restart) takes from the settings just read: the
// first dump page when the file had an "AD=" record; otherwise the page stays.
inline void take_settings(MonitorState& state, bool start_address_read)
{
    if (start_address_read)
        state.dump_base = state.settings.start_address;
}

}  // namespace monitor
