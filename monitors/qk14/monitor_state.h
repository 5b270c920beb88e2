// Everything the Qk14 monitor keeps: one record for the life of the program,
// kept across an Esc restart (only what start-up sets again is reset).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "monitors/monitor_shared/change_log.h"
#include "monitors/monitor_shared/display_mode.h"
#include "monitors/monitor_shared/settings_file.h"
#include "monitors/monitor_shared/watch_page.h"

namespace qk14 {

using monitor::DisplayMode;
using monitor::is_watch_mode;
using monitor::watch_mode_of_key;

struct LogState {
    bool logging = false;              // the log file is open for appending
    std::string lastLoggedValue;       // "" at the start of each log mode
    monitor::ChangeCounter changeNumber;
};

struct MonitorState {
    DisplayMode currentMode = DisplayMode::None;
    DisplayMode requestedMode = DisplayMode::None;  // None: nothing pending
    std::string commandLine;                        // at most 37 bytes (38 for one cycle)
    std::string lastCommand;
    bool repeatRequested = false;
    std::string reply;
    bool replyFailed = false;
    bool linkFault = false;
    std::uint16_t dumpBase = 0;       // multiple of 256
    std::uint16_t dumpRowOffset = 0;  // 0, 16, ..., 240
    monitor::Settings settings;
    std::array<std::string, 13> functionKeyNames;  // 2-11 used: F2-F9 from settings, F10/F11 typed
    monitor::WatchPage watchPage;
    std::string watchFileName;  // current watch file ("" after a failed load)
    LogState log;
    std::array<std::uint16_t, 81> screenRowBuffer{};  // cells of the command row copy
};

}  // namespace qk14
