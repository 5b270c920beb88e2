// Site codes of the console's operations: the high byte names the operation,
// the low byte the check inside it (first check 1).
#pragma once

#include <cstdint>

namespace rt::console::site {

inline constexpr std::uint16_t kPrintToWindow = 0x6001;
inline constexpr std::uint16_t kPrintToFileNumber = 0x6101;
inline constexpr std::uint16_t kPrintToFileNotOpen = 0x6102;
inline constexpr std::uint16_t kPrintStrMemory = 0x6201;
inline constexpr std::uint16_t kPrintStrFormat = 0x6202;
inline constexpr std::uint16_t kDeviceOutput = 0x6301;
inline constexpr std::uint16_t kDeviceOutputKeyboard = 0x6302;
inline constexpr std::uint16_t kLocateWindow = 0x6401;
inline constexpr std::uint16_t kLocateColumn = 0x6402;
inline constexpr std::uint16_t kLocateRow = 0x6403;
inline constexpr std::uint16_t kLocateSwitch = 0x6404;
inline constexpr std::uint16_t kClsMode = 0x6501;
inline constexpr std::uint16_t kClsWindow = 0x6502;
inline constexpr std::uint16_t kClsGraphicsText = 0x6503;
inline constexpr std::uint16_t kColorWindow = 0x6601;
inline constexpr std::uint16_t kColorAttribute = 0x6602;
inline constexpr std::uint16_t kColorText = 0x6603;
inline constexpr std::uint16_t kColorBackground = 0x6604;
inline constexpr std::uint16_t kColorDrawing = 0x6605;
inline constexpr std::uint16_t kViewRegionWindow = 0x6701;
inline constexpr std::uint16_t kViewRegionGraphicsText = 0x6702;
inline constexpr std::uint16_t kViewRegionTop = 0x6703;
inline constexpr std::uint16_t kViewRegionCount = 0x6704;
inline constexpr std::uint16_t kViewRegionSum = 0x6705;
inline constexpr std::uint16_t kCursorRowWindow = 0x6801;
inline constexpr std::uint16_t kCursorRowGraphicsText = 0x6802;
inline constexpr std::uint16_t kCursorColumnWindow = 0x6901;
inline constexpr std::uint16_t kCursorColumnFileNumber = 0x6902;
inline constexpr std::uint16_t kCursorColumnNotOpen = 0x6903;
inline constexpr std::uint16_t kCellsWindow = 0x6A01;
inline constexpr std::uint16_t kCellsGraphicsText = 0x6A02;
inline constexpr std::uint16_t kCellsCorner = 0x6A03;
inline constexpr std::uint16_t kCellsArray = 0x6A04;
inline constexpr std::uint16_t kInkeyWindow = 0x6B01;
inline constexpr std::uint16_t kKeyboardRead = 0x6C01;
inline constexpr std::uint16_t kKeyboardReadCount = 0x6C02;
inline constexpr std::uint16_t kInputPromptWindow = 0x6D01;
inline constexpr std::uint16_t kInputPromptGraphicsText = 0x6D02;
inline constexpr std::uint16_t kInputVarsType = 0x6E01;
inline constexpr std::uint16_t kInputVarsField = 0x6E02;
inline constexpr std::uint16_t kInputVarsRange = 0x6E03;
inline constexpr std::uint16_t kLineEditorState = 0x6F01;
inline constexpr std::uint16_t kScreenDevice = 0x7001;

}  // namespace rt::console::site
