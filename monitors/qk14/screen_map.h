// Qk14's fixed screen: rows, columns, texts and colours. Texts are Shift-JIS
// bytes; the arrows of the help block are the double-byte characters
// 0x81AA (up) and 0x81AB (down).
#pragma once

#include <array>
#include <string_view>

#include "monitors/monitor_shared/screen_place.h"

namespace qk14::screen {

inline constexpr int kColumns = 80;
inline constexpr int kRows = 24;

using Place = monitor::ScreenPlace;
using Colour = monitor::ScreenColour;
using PlacedText = monitor::PlacedText;

// Work area = scroll region.
inline constexpr int kWorkFirstRow = 2;
inline constexpr int kWorkRows = 17;

inline constexpr Place kBanner{1, 0};
// The banner line is not fixed by the screen map; this is the program's own.
inline constexpr std::string_view kBannerText = "Qk14  Z80 Monitor";
inline constexpr int kFrameColour = 4;

inline constexpr Place kChannel{3, 1};
inline constexpr int kStatusColour = 3;
inline constexpr std::array<std::string_view, 4> kChannelTexts{"Channel=COM0 ", "Channel=COM1 ", "Channel=COM2 ",
                                                               "Channel=COM3 "};
inline constexpr std::string_view kBitText = "bit";
inline constexpr Place kByteOrder{24, 1};
inline constexpr std::string_view kLittle = "Little";
inline constexpr std::string_view kBig = "Big";
inline constexpr int kNormalColour = 7;

inline constexpr Place kLastCommandLabel{3, 19};
inline constexpr Place kResponseLabel{3, 20};
inline constexpr Place kCommandLabel{3, 21};
inline constexpr std::string_view kCommandLabelText = "Command :";
inline constexpr std::string_view kResponseLabelText = "Response:";
inline constexpr int kLastCommandRow = 19;
inline constexpr int kCommandCopyLastColumn = 50;  // row 21 columns 0-50 go to row 19
inline constexpr Place kResponse{12, 20};
inline constexpr Place kCommand{12, 21};
inline constexpr std::string_view kErrorText = "Error";
inline constexpr int kErrorTrailingBlanks = 38;
inline constexpr int kResponseClearBlanks = 40;
inline constexpr int kJumpResponseClearBlanks = 60;
inline constexpr int kCommandClearBlanks = 43;
inline constexpr int kRepeatClearBlanks = 37;
inline constexpr int kCommandTrailingBlanks = 2;

// Legend (rows 22-23): F1-F11 as in monitor_shared/legend.h, then F12.
inline constexpr Place kLegendF12{66, 23};
inline constexpr std::string_view kLegendF12Text = "F12=Repeat";
inline constexpr Colour kLegendF12Colour{4, 5};
inline constexpr Colour kLegendDone{7, 4};

// The dump page (monitor_shared/dump_page_drawing.h) with this help block.
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

// Watch pages and the log.
inline constexpr Place kFileListStart{0, 9};
inline constexpr Place kFilePromptPlace{5, 6};
inline constexpr std::string_view kHintReturn = "RET Only   : To 256dump";
inline constexpr std::string_view kHintAppend = "FileName/F : Append File(*.DAS)";
inline constexpr std::string_view kHintDelete = "FileName/D : Delete & Create File(*.DAS)";
inline constexpr Place kWatchHintReturn{40, 3};
inline constexpr Place kWatchHintAppend{40, 4};
inline constexpr Place kLogHintReturn{36, 3};
inline constexpr Place kLogHintAppend{36, 4};
inline constexpr Place kLogHintDelete{36, 5};
inline constexpr Place kLogLine{1, 17};
inline constexpr int kLogNumberPicture = 4;

}  // namespace qk14::screen
