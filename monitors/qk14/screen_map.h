// Qk14's own parts of the screen: the banner, the F12 cell of the legend,
// the command rows' blanks and error text, the help block of the dump page,
// and the hints of the F10 and F11 prompts. Texts are Shift-JIS bytes; the
// arrows of the help block are the double-byte characters 0x81AA (up) and
// 0x81AB (down).
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "monitors/monitor_shared/screen_place.h"

namespace qk14::screen {

using monitor::PlacedText;
using monitor::ScreenColour;
using monitor::ScreenPlace;

inline constexpr int kColumns = 80;

// The banner ends before the clock at column 71.
inline constexpr std::string_view kBannerText = "Qk14  Z80 Monitor";

// After a command: row 19 takes row 21's columns 0-50; row 20 shows the
// reply or the error text.
inline constexpr int kCommandCopyLastColumn = 50;
inline constexpr std::string_view kErrorText = "Error";
inline constexpr int kErrorTrailingBlanks = 38;
inline constexpr int kResponseClearBlanks = 40;
inline constexpr int kJumpResponseClearBlanks = 60;
inline constexpr int kCommandClearBlanks = 43;
inline constexpr int kCommandTrailingBlanks = 2;

// What row 20 shows after a command: the reply, or "Error" with the blanks
// that wipe the longest reply.
inline std::string response_text(std::string_view reply, bool failed)
{
    if (failed)
        return std::string(kErrorText) + std::string(kErrorTrailingBlanks, ' ');
    return std::string(reply);
}

// The legend's F12 cell, after F1-F11.
inline constexpr ScreenPlace kLegendF12{66, 23};
inline constexpr std::string_view kLegendF12Text = "F12=Repeat";
inline constexpr ScreenColour kLegendF12Colour{4, 5};
inline constexpr ScreenColour kLegendDone{7, 4};

// The help block right of the dump rows.
inline constexpr std::array<PlacedText, 17> kHelpBlock{
    PlacedText{{55, 2}, "***  Command  ***"},
    PlacedText{{55, 3}, "Rxxxx   Mem Read"},
    PlacedText{{55, 4}, "Wxxxxyy Mem Write"},
    PlacedText{{55, 5}, "Sxxxxz  Mem Bit Set"},
    PlacedText{{55, 6}, "Cxxxxz  Mem Bit Clear"},
    PlacedText{{55, 7}, "Ixx     I/O Input (Z80)"},
    PlacedText{{55, 8}, "Oxxyy   I/O Output(Z80)"},
    PlacedText{{55, 9}, "Hxxz    I/O Bit=H (Z80)"},
    PlacedText{{55, 10}, "Lxxz    I/O Bit=L (Z80)"},
    PlacedText{{63, 11}, "xxxx=Address"},
    PlacedText{{63, 12}, "  yy=Data"},
    PlacedText{{63, 13}, "   z=Bit(0-7)"},
    PlacedText{{55, 14}, "\x81\xaa      : -256"},  // up arrow
    PlacedText{{55, 15}, "\x81\xab      : +256"},  // down arrow
    PlacedText{{55, 16}, "PageUp  : -4KB"},
    PlacedText{{55, 17}, "PageDown: +4KB"},
    PlacedText{{55, 18}, "Jxx     : Jump xx00"},
};

// The F10 and F11 prompts.
inline constexpr ScreenPlace kFileListStart{0, 9};
inline constexpr ScreenPlace kFilePromptPlace{5, 6};
inline constexpr std::string_view kHintReturn = "RET Only   : To 256dump";
inline constexpr std::string_view kHintAppend = "FileName/F : Append File(*.DAS)";
inline constexpr std::string_view kHintDelete = "FileName/D : Delete & Create File(*.DAS)";
inline constexpr std::array<PlacedText, 2> kWatchHints{PlacedText{{40, 3}, kHintReturn},
                                                       PlacedText{{40, 4}, kHintAppend}};
inline constexpr std::array<PlacedText, 3> kLogHints{PlacedText{{36, 3}, kHintReturn},
                                                     PlacedText{{36, 4}, kHintAppend},
                                                     PlacedText{{36, 5}, kHintDelete}};
inline constexpr int kLogNumberPicture = 4;

}  // namespace qk14::screen
