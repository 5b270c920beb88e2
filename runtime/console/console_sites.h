// Site codes of the console's operations: the high byte names the operation,
// the low byte the check inside it (first check 1).
#pragma once

#include <cstdint>

namespace rt::console::site {

inline constexpr std::uint16_t PrintToWindow = 0x6001;
inline constexpr std::uint16_t PrintToFileNumber = 0x6101;
inline constexpr std::uint16_t PrintToFileNotOpen = 0x6102;
inline constexpr std::uint16_t PrintStrMemory = 0x6201;
inline constexpr std::uint16_t PrintStrFormat = 0x6202;
inline constexpr std::uint16_t DeviceOutput = 0x6301;
inline constexpr std::uint16_t DeviceOutputKeyboard = 0x6302;
inline constexpr std::uint16_t LocateWindow = 0x6401;
inline constexpr std::uint16_t LocateColumn = 0x6402;
inline constexpr std::uint16_t LocateRow = 0x6403;
inline constexpr std::uint16_t LocateSwitch = 0x6404;
inline constexpr std::uint16_t ClsMode = 0x6501;
inline constexpr std::uint16_t ClsWindow = 0x6502;
inline constexpr std::uint16_t ClsGraphicsText = 0x6503;
inline constexpr std::uint16_t ColorWindow = 0x6601;
inline constexpr std::uint16_t ColorAttribute = 0x6602;
inline constexpr std::uint16_t ColorText = 0x6603;
inline constexpr std::uint16_t ColorBackground = 0x6604;
inline constexpr std::uint16_t ColorDrawing = 0x6605;
inline constexpr std::uint16_t ViewRegionWindow = 0x6701;
inline constexpr std::uint16_t ViewRegionGraphicsText = 0x6702;
inline constexpr std::uint16_t ViewRegionTop = 0x6703;
inline constexpr std::uint16_t ViewRegionCount = 0x6704;
inline constexpr std::uint16_t ViewRegionSum = 0x6705;
inline constexpr std::uint16_t CursorRowWindow = 0x6801;
inline constexpr std::uint16_t CursorRowGraphicsText = 0x6802;
inline constexpr std::uint16_t CursorColumnWindow = 0x6901;
inline constexpr std::uint16_t CursorColumnFileNumber = 0x6902;
inline constexpr std::uint16_t CursorColumnNotOpen = 0x6903;
inline constexpr std::uint16_t CellsWindow = 0x6A01;
inline constexpr std::uint16_t CellsGraphicsText = 0x6A02;
inline constexpr std::uint16_t CellsCorner = 0x6A03;
inline constexpr std::uint16_t CellsArray = 0x6A04;
inline constexpr std::uint16_t InkeyWindow = 0x6B01;
inline constexpr std::uint16_t KeyboardRead = 0x6C01;
inline constexpr std::uint16_t KeyboardReadCount = 0x6C02;
inline constexpr std::uint16_t InputPromptWindow = 0x6D01;
inline constexpr std::uint16_t InputPromptGraphicsText = 0x6D02;
inline constexpr std::uint16_t InputVarsType = 0x6E01;
inline constexpr std::uint16_t InputVarsField = 0x6E02;
inline constexpr std::uint16_t InputVarsRange = 0x6E03;
inline constexpr std::uint16_t LineEditorState = 0x6F01;
inline constexpr std::uint16_t ScreenDevice = 0x7001;

}  // namespace rt::console::site
