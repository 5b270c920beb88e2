#include "runtime/files/device.h"

#include "runtime/core/error.h"

namespace rt {

void Device::write(std::string_view, std::uint16_t site)
{
    RAISE_ERROR(err::kBadFileMode, site);
}

std::int32_t Device::loc(std::uint16_t site)
{
    RAISE_ERROR(err::kBadFileMode, site);
}

bool Device::eof(std::uint16_t site)
{
    RAISE_ERROR(err::kBadFileMode, site);
}

std::string Device::read(std::uint32_t, std::uint16_t site)
{
    RAISE_ERROR(err::kBadFileMode, site);
}

std::string Device::read_line(std::uint16_t site)
{
    RAISE_ERROR(err::kBadFileMode, site);
}

}  // namespace rt
