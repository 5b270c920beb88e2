#include "runtime/files/device.h"

#include "runtime/core/error.h"

namespace rt {

std::string Device::read_line(std::uint16_t site)
{
    RAISE_ERROR(err::BadFileMode, site);
}

}  // namespace rt
