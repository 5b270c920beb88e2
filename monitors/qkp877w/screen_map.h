// QkP877W's fixed screen: rows, columns, texts and colours where they are
// its own. The legend (rows 22-23) and the dump page are shared with Qk14
// (monitor_shared/legend.h, dump_page_drawing.h).
#pragma once

#include <array>
#include <string_view>

#include "monitors/monitor_shared/screen_place.h"

namespace qkp877w::screen {

using monitor::PlacedText;
using monitor::ScreenPlace;

inline constexpr int kWorkFirstRow = 2;
inline constexpr int kWorkRows = 17;

inline constexpr ScreenPlace kBanner{1, 0};
// The banner line is the program's own; it ends before the clock at column 71.
inline constexpr std::string_view kBannerText = "QkP877W  PIC16F877 Monitor";
inline constexpr int kFrameColour = 4;
inline constexpr int kStatusColour = 3;
inline constexpr int kNormalColour = 7;

inline constexpr ScreenPlace kChannel{3, 1};
inline constexpr std::array<std::string_view, 4> kChannelTexts{"Channel=COM0", "Channel=COM1", "Channel=COM2",
                                                               "Channel=COM3"};

inline constexpr ScreenPlace kLastCommandLabel{3, 19};
inline constexpr ScreenPlace kResponseLabel{3, 20};
inline constexpr ScreenPlace kCommandLabel{3, 21};
inline constexpr std::string_view kCommandLabelText = "Command :";
inline constexpr std::string_view kResponseLabelText = "Response:";
inline constexpr int kCommandCopyLastColumn = 78;  // row 21 columns 0-78 go to row 19
inline constexpr ScreenPlace kResponse{12, 20};
inline constexpr ScreenPlace kCommand{12, 21};
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

inline constexpr ScreenPlace kChangeLine{1, 17};
inline constexpr int kChangeNumberPicture = 5;

}  // namespace qkp877w::screen
