// Window messages: what the front ends turn their native events into and what
// the runtime's message pump takes and dispatches.
#pragma once

#include <cstdint>

namespace host {

using WindowId = std::uint32_t;  // 0 = no window

enum class MessageKind : std::uint16_t {
    KeyDown,        // wparam: virtual key code; lparam: repeat count
    KeyUp,          // wparam: virtual key code
    SysKeyDown,     // key down with Alt, or F10
    SysKeyUp,
    Char,           // wparam: one byte of text (Shift-JIS bytes arrive one message each)
    Paint,          // window needs repainting (dirty rectangle kept by the window)
    EraseBackground,
    Size,           // wparam: 0 restored, 1 minimised, 2 maximised; lparam: width | height << 16
    SetFocus,
    KillFocus,
    Activate,       // wparam: 0 inactive, 1 active
    HScroll,        // wparam: scroll request code (see scroll namespace); lparam: thumb position
    VScroll,
    MouseWheel,     // wparam: signed delta (120 per notch)
    DoubleClick,
    Timer,          // wparam: timer id
    Close,          // user asked to close the window
    Destroy,        // window is being destroyed
    Quit,           // ends the message loop; wparam: exit code
    GetMinMaxInfo,  // handled by send(), lparam points to a MinMaxInfo
    SetFont,
    GetFont,
};

struct Message {
    WindowId window = 0;
    MessageKind kind = MessageKind::Paint;
    std::uint32_t wparam = 0;
    std::int64_t lparam = 0;
};

// Scroll request codes carried in wparam of HScroll/VScroll.
namespace scroll {
inline constexpr std::uint32_t LineUp = 0;  // line-left for HScroll
inline constexpr std::uint32_t LineDown = 1;
inline constexpr std::uint32_t PageUp = 2;
inline constexpr std::uint32_t PageDown = 3;
inline constexpr std::uint32_t ThumbPosition = 4;
inline constexpr std::uint32_t ThumbTrack = 5;
inline constexpr std::uint32_t Top = 6;
inline constexpr std::uint32_t Bottom = 7;
inline constexpr std::uint32_t EndScroll = 8;
}  // namespace scroll

struct MinMaxInfo {
    int max_width = 0, max_height = 0;
    int min_track_width = 0, min_track_height = 0;
    int max_track_width = 0, max_track_height = 0;
};

// Virtual key codes: the numbers front ends put in key messages and the
// runtime's key tables look up.
namespace vk {
inline constexpr std::uint32_t Back = 0x08;
inline constexpr std::uint32_t Tab = 0x09;
inline constexpr std::uint32_t Return = 0x0D;
inline constexpr std::uint32_t Shift = 0x10;
inline constexpr std::uint32_t Control = 0x11;
inline constexpr std::uint32_t Menu = 0x12;  // Alt
inline constexpr std::uint32_t Pause = 0x13;
inline constexpr std::uint32_t Escape = 0x1B;
inline constexpr std::uint32_t Space = 0x20;
inline constexpr std::uint32_t Prior = 0x21;  // Page Up
inline constexpr std::uint32_t Next = 0x22;   // Page Down
inline constexpr std::uint32_t End = 0x23;
inline constexpr std::uint32_t Home = 0x24;
inline constexpr std::uint32_t Left = 0x25;
inline constexpr std::uint32_t Up = 0x26;
inline constexpr std::uint32_t Right = 0x27;
inline constexpr std::uint32_t Down = 0x28;
inline constexpr std::uint32_t Insert = 0x2D;
inline constexpr std::uint32_t Delete = 0x2E;
inline constexpr std::uint32_t KeyC = 0x43;
inline constexpr std::uint32_t F1 = 0x70;  // F1..F12 are 0x70..0x7B
inline constexpr std::uint32_t F12 = 0x7B;
}  // namespace vk

}  // namespace host
