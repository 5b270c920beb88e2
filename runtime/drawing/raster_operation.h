// Raster operations that combine a pen colour with the pixel under it.
#pragma once

#include <cstdint>

namespace rt::drawing {

enum class RasterOperation { Copy, Mask, Merge, Xor, Not };

// Draw mode argument of the drawing statements: 2 mask, 3 merge, 4 xor, 5 not,
// anything else copy.
RasterOperation raster_operation_from_mode(std::uint16_t mode) noexcept;

inline std::uint32_t apply_raster(RasterOperation op, std::uint32_t destination, std::uint32_t pen) noexcept
{
    switch (op) {
    case RasterOperation::Mask: return destination & pen;
    case RasterOperation::Merge: return (destination | pen) & 0xFFFFFF;
    case RasterOperation::Xor: return (destination ^ pen) & 0xFFFFFF;
    case RasterOperation::Not: return ~destination & 0xFFFFFF;
    case RasterOperation::Copy: break;
    }
    return pen;
}

}  // namespace rt::drawing
