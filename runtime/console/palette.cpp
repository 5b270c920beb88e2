#include "runtime/console/palette.h"

#include "host/surface.h"

namespace rt::console {

const Palette& text_palette() noexcept
{
    static constexpr Palette kPalette{
        host::rgb(128, 128, 128), host::rgb(0, 0, 128),   host::rgb(128, 0, 0),     host::rgb(128, 0, 128),
        host::rgb(0, 128, 0),     host::rgb(0, 128, 128), host::rgb(128, 128, 0),   host::rgb(192, 192, 192),
        host::rgb(0, 0, 0),       host::rgb(0, 0, 255),   host::rgb(255, 0, 0),     host::rgb(255, 0, 255),
        host::rgb(0, 255, 0),     host::rgb(0, 255, 255), host::rgb(255, 255, 0),   host::rgb(255, 255, 255),
    };
    return kPalette;
}

const Palette& background_palette() noexcept
{
    static constexpr Palette kPalette{
        host::rgb(0, 0, 0),       host::rgb(128, 128, 128), host::rgb(0, 0, 128),   host::rgb(0, 0, 255),
        host::rgb(128, 0, 0),     host::rgb(255, 0, 0),     host::rgb(128, 0, 128), host::rgb(255, 0, 255),
        host::rgb(0, 128, 0),     host::rgb(0, 255, 0),     host::rgb(0, 128, 128), host::rgb(0, 255, 255),
        host::rgb(128, 128, 0),   host::rgb(255, 255, 0),   host::rgb(192, 192, 192), host::rgb(255, 255, 255),
    };
    return kPalette;
}

CellColours resolve_colours(int colour, std::uint32_t attribute, int background_number) noexcept
{
    const std::uint32_t t = attribute & kAttributeMask;
    const bool bright = t == 4 || t == 5;
    CellColours result;
    colour &= 15;
    if (colour <= 7) {
        result.colour_used = bright ? colour + 8 : colour;
        result.reversed = t == 1 || t == 5;
    } else {
        result.colour_used = bright ? colour : colour - 8;
        result.reversed = true;
    }
    if (result.reversed) {
        result.foreground = background_palette()[background_number & 15];
        result.background = text_palette()[result.colour_used];
    } else {
        result.foreground = text_palette()[result.colour_used];
        result.background = background_palette()[background_number & 15];
    }
    return result;
}

}  // namespace rt::console
