// Everything the QkP877W monitor keeps, for the life of the program: no
// restart, no repeat, no link fault; mode 11 is the change list, whose last
// value survives from one visit to the next.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "monitors/monitor_shared/change_log.h"
#include "monitors/monitor_shared/display_mode.h"
#include "monitors/monitor_shared/settings_file.h"
#include "monitors/monitor_shared/watch_page.h"

namespace qkp877w {

using monitor::DisplayMode;

struct ChangeListState {
    std::string lastValue;  // "" at program start, only ever replaced by a new value
    monitor::ChangeCounter changeNumber;  // 0 at each entry of mode 11
};

struct MonitorState {
    DisplayMode currentMode = DisplayMode::None;
    DisplayMode requestedMode = DisplayMode::None;  // None: nothing pending
    std::string commandLine;                        // at most 37 bytes
    std::string reply;
    bool replyFailed = false;
    std::uint16_t dumpBase = 0;       // 0x000 or 0x100
    std::uint16_t dumpRowOffset = 0;  // 0, 16, ..., 240
    monitor::Settings settings;       // channel and F2-F9 names only
    std::array<std::string, 13> functionKeyNames;  // 2-11 used
    monitor::WatchPage watchPage;
    std::string watchFileName;
    ChangeListState changes;
};

}  // namespace qkp877w
