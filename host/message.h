// Window messages: what the front ends turn their native events into and what
// the runtime's message pump takes and dispatches.
#pragma once

#include <cstdint>

namespace host {

using WindowId = std::uint32_t;  // 0 = no window

enum class MessageKind : std::uint16_t {
    KeyDown,        // key, repeat_count
    KeyUp,          // key
    SysKeyDown,     // key down with Alt, or F10
    SysKeyUp,
    Char,           // character (Shift-JIS bytes arrive one message each)
    Paint,          // window needs repainting (dirty rectangle kept by the window)
    EraseBackground,
    Size,           // size_state, client_size
    SetFocus,
    KillFocus,
    Activate,       // active
    HScroll,        // scroll_request, thumb_position
    VScroll,
    MouseWheel,     // wheel_delta
    DoubleClick,
    Timer,          // timer_id
    Close,          // user asked to close the window
    Destroy,        // window is being destroyed
    Quit,           // ends the message loop; exit_code
    GetSizeLimits,  // handled by send(): the window fills in *size_limits
    SetFont,
    GetFont,
};

// The size of a window's client area in pixels.
struct ClientSize {
    int width = 0;
    int height = 0;
    bool operator==(const ClientSize&) const = default;
};

// How large a window may be: when maximised, and when resized by dragging.
struct SizeLimits {
    int maximised_width = 0, maximised_height = 0;
    int smallest_width = 0, smallest_height = 0;
    int largest_width = 0, largest_height = 0;
};

namespace size_state {
inline constexpr int kRestored = 0;
inline constexpr int kMinimised = 1;
inline constexpr int kMaximised = 2;
}  // namespace size_state

// One message; each kind uses the fields its comment above names, the rest
// stay at their defaults.
struct Message {
    WindowId window = 0;
    MessageKind kind = MessageKind::Paint;
    std::uint32_t key = 0;                // key messages: the virtual key code (vk)
    int repeat_count = 0;                 // KeyDown: 1
    std::uint8_t character = 0;           // Char: one byte of text
    int size_state = size_state::kRestored;  // Size
    ClientSize client_size{};             // Size: the client area's new size
    std::uint32_t scroll_request = 0;     // HScroll, VScroll: see scroll
    int thumb_position = 0;               // HScroll, VScroll: the position of ThumbPosition
    int wheel_delta = 0;                  // MouseWheel: signed, 120 per notch
    std::uint32_t timer_id = 0;           // Timer
    int exit_code = 0;                    // Quit
    bool active = false;                  // Activate
    SizeLimits* size_limits = nullptr;    // GetSizeLimits
};

// Scroll requests of HScroll/VScroll.
namespace scroll {
inline constexpr std::uint32_t kLineUp = 0;  // line-left for HScroll
inline constexpr std::uint32_t kLineDown = 1;
inline constexpr std::uint32_t kPageUp = 2;
inline constexpr std::uint32_t kPageDown = 3;
inline constexpr std::uint32_t kThumbPosition = 4;
inline constexpr std::uint32_t kThumbTrack = 5;
inline constexpr std::uint32_t kTop = 6;
inline constexpr std::uint32_t kBottom = 7;
inline constexpr std::uint32_t kEndScroll = 8;
}  // namespace scroll

// Virtual key codes: the numbers front ends put in key messages and the
// runtime's key tables look up.
namespace vk {
inline constexpr std::uint32_t kBack = 0x08;
inline constexpr std::uint32_t kTab = 0x09;
inline constexpr std::uint32_t kReturn = 0x0D;
inline constexpr std::uint32_t kShift = 0x10;
inline constexpr std::uint32_t kControl = 0x11;
inline constexpr std::uint32_t kMenu = 0x12;  // Alt
inline constexpr std::uint32_t kPause = 0x13;
inline constexpr std::uint32_t kEscape = 0x1B;
inline constexpr std::uint32_t kSpace = 0x20;
inline constexpr std::uint32_t kPageUp = 0x21;
inline constexpr std::uint32_t kPageDown = 0x22;
inline constexpr std::uint32_t kEnd = 0x23;
inline constexpr std::uint32_t kHome = 0x24;
inline constexpr std::uint32_t kLeft = 0x25;
inline constexpr std::uint32_t kUp = 0x26;
inline constexpr std::uint32_t kRight = 0x27;
inline constexpr std::uint32_t kDown = 0x28;
inline constexpr std::uint32_t kInsert = 0x2D;
inline constexpr std::uint32_t kDelete = 0x2E;
inline constexpr std::uint32_t kKeyC = 0x43;
inline constexpr std::uint32_t kF1 = 0x70;  // F1..F12 are 0x70..0x7B
inline constexpr std::uint32_t kF12 = 0x7B;
}  // namespace vk

}  // namespace host
