// QkP877W's own parts of the screen: the banner, the command rows' blanks,
// the three-line help block at column 60, the places of the F10 and F11
// prompts and the blank a failed entry leaves in the legend.
#pragma once

#include <array>
#include <string_view>

#include "monitors/monitor_shared/screen_place.h"

namespace qkp877w::screen {

using monitor::PlacedText;
using monitor::ScreenPlace;

// The banner ends before the clock at column 71.
inline constexpr std::string_view kBannerText = "QkP877W  PIC16F877 Monitor";

inline constexpr int kCommandCopyLastColumn = 78;  // row 21 columns 0-78 go to row 19
inline constexpr int kResponseClearBlanks = 60;
inline constexpr int kCommandClearBlanks = 60;
inline constexpr int kCommandTrailingBlanks = 11;

inline constexpr std::array<PlacedText, 3> kHelpBlock{
    PlacedText{{60, 2}, "***  Command  ***"},
    PlacedText{{60, 3}, "R:MEM-Read"},
    PlacedText{{60, 4}, "W:MEM-Write"},
};

// F10 and F11.
inline constexpr ScreenPlace kFileListStart{0, 7};
inline constexpr ScreenPlace kFilePromptPlace{5, 3};
// A failed F10 or F11 entry blanks columns 4-23 of the legend row 23.
inline constexpr ScreenPlace kEntryFailureBlank{4, 23};
inline constexpr int kEntryFailureBlanks = 20;

inline constexpr int kChangeNumberPicture = 5;

}  // namespace qkp877w::screen
