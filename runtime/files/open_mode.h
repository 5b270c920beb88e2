// Open modes and share codes: the defaults and checks OPEN applies before it
// looks at the name, and the disk open table keyed by the open mode.
#pragma once

#include <cstdint>
#include <optional>

namespace rt {

struct ModeAndShare {
    std::uint16_t error = 0;  // 0 or 51
    std::int16_t mode = 0;
    std::int16_t share = 0;
};

// Applies the mode and share-code defaults: mode 0 becomes 6 with share 3;
// refuses mode 0 with a share code, modes above 10, and share codes that
// input (2) or output and append (2, 3) cannot take.
ModeAndShare normalise_mode_and_share(std::int16_t mode, std::int16_t share) noexcept;

enum class DiskAccess { Read, Write, ReadWrite };
enum class DiskCreation { OpenExisting, CreateNew, OpenAlways };

// Open kinds of disk files.
namespace open_kind {
inline constexpr std::int32_t kInput = 1;
inline constexpr std::int32_t kOutput = 2;
inline constexpr std::int32_t kAppend = 3;
inline constexpr std::int32_t kRecord = 4;
inline constexpr std::int32_t kBlockRead = 6;
inline constexpr std::int32_t kBlockWrite = 7;
inline constexpr std::int32_t kBlockReadWrite = 8;
}  // namespace open_kind

struct DiskOpenRow {
    std::int32_t kind;
    bool options_allowed;
    bool record_buffer;
    DiskAccess access;
    DiskCreation creation;
};

// The row of open mode 1..10; nothing for any other mode.
std::optional<DiskOpenRow> disk_open_row(std::int16_t mode) noexcept;

}  // namespace rt
