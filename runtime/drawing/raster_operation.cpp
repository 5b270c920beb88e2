#include "runtime/drawing/raster_operation.h"

namespace rt::drawing {

RasterOperation raster_operation_from_mode(std::uint16_t mode) noexcept
{
    switch (mode) {
    case 2: return RasterOperation::Mask;
    case 3: return RasterOperation::Merge;
    case 4: return RasterOperation::Xor;
    case 5: return RasterOperation::Not;
    default: return RasterOperation::Copy;
    }
}

}  // namespace rt::drawing
