// What the work area of either monitor shows.
#pragma once

#include <cstdint>

namespace monitor {

enum class DisplayMode : std::int16_t {
    None = 0,   // transient, while a mode is being left
    Dump = 1,
    // 2-9: watch page of F2-F9
    ChosenWatch = 10,
    Log = 11,  // Qk14: change log; QkP877W: change list
};

inline constexpr DisplayMode watch_mode_of_key(int key) { return static_cast<DisplayMode>(key); }
inline constexpr bool is_watch_mode(DisplayMode mode)
{
    return static_cast<int>(mode) >= 2 && static_cast<int>(mode) <= 10;
}

}  // namespace monitor
