// Open strings ("com0:(s8n1n8,RB8192)", "LOG(128).DAT"): the
// split into name and options text, shared by the device table and the
// serial channels, and the choice of a fixed device slot from the name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rt {

inline constexpr std::size_t kMaxOptionsLength = 63;

struct SplitSpecification {
    std::uint16_t error = 0;  // 0, 5 (bad options text) or 55 (empty name)
    std::string name;         // text before "(", plus any text after ")"
    std::string options;      // text between "(" and ")"
    bool has_options = false;
};

// Splits `open_text` into name and options text. The options text runs
// from the first "(" to the next ")" and must be 1..63 characters and closed.
SplitSpecification split_open_specification(std::string_view open_text);

// Slots of the fixed devices.
inline constexpr int kKeyboardSlot = 0;
inline constexpr int kScreenSlot = 1;
inline constexpr int kFirstPrinterSlot = 2;
inline constexpr int kSpecialPrinterSlot = 9;
inline constexpr int kFirstSerialSlot = 10;
inline constexpr int kLastSerialSlot = 14;
inline constexpr int kFirstDiskSlot = 15;
inline constexpr int kLastDiskSlot = 270;
inline constexpr int kSlotCount = 271;

// The name of fixed slot 0..14 ("KYBD:", "SCRN:", "LPT0:".., "COM0:"..).
std::string_view fixed_device_name(int slot) noexcept;

// The first slot among 0..14 whose name equals `name` without regard to
// case; kFirstDiskSlot (15) when none does.
int find_fixed_device(std::string_view name) noexcept;

struct DeviceChoice {
    std::uint16_t error = 0;  // 0 or 5 (printer options other than "DC")
    int slot = kFirstDiskSlot;  // kFirstDiskSlot: the name is a disk file
};

// The device slot an open of `name` with the options text reaches: printers
// given the options "DC" move to their drawing-mode slot, 3 higher.
DeviceChoice choose_device_slot(std::string_view name, bool has_options, std::string_view options) noexcept;

// ASCII letters compared without regard to case; other bytes exactly.
bool equal_ignoring_case(std::string_view a, std::string_view b) noexcept;

}  // namespace rt
