#include "runtime/files/open_mode.h"

#include <array>

#include "runtime/core/error.h"

namespace rt {

ModeAndShare normalise_mode_and_share(std::int16_t mode, std::int16_t share) noexcept
{
    const ModeAndShare refused{err::kBadFileMode, mode, share};
    if ((mode == 0 && share != 0) || mode < 0 || mode > 10)
        return refused;
    switch (mode) {
    case 0:
        return {0, 6, 3};
    case 1:
        if (share == 2)
            return refused;
        return {0, mode, share == 0 ? std::int16_t{3} : share};
    case 2:
    case 3:
        if (share == 2 || share == 3)
            return refused;
        return {0, mode, share == 0 ? std::int16_t{1} : share};
    case 7:
        return {0, mode, 3};
    default:
        return {0, mode, share == 0 ? std::int16_t{3} : share};
    }
}

std::optional<DiskOpenRow> disk_open_row(std::int16_t mode) noexcept
{
    using enum DiskAccess;
    using enum DiskCreation;
    static constexpr std::array<DiskOpenRow, 10> kRows{{
        {open_kind::kInput, false, false, Read, OpenExisting},
        {open_kind::kOutput, false, false, Write, CreateNew},
        {open_kind::kAppend, false, false, ReadWrite, OpenAlways},
        {open_kind::kRecord, true, true, Read, OpenExisting},
        {open_kind::kRecord, true, true, Write, OpenAlways},
        {open_kind::kRecord, true, true, ReadWrite, OpenAlways},
        {open_kind::kRecord, true, true, ReadWrite, OpenExisting},
        {open_kind::kBlockRead, true, false, Read, OpenExisting},
        {open_kind::kBlockWrite, true, false, Write, CreateNew},
        {open_kind::kBlockReadWrite, true, false, ReadWrite, OpenAlways},
    }};
    if (mode < 1 || mode > 10)
        return std::nullopt;
    return kRows[static_cast<std::size_t>(mode - 1)];
}

}  // namespace rt
