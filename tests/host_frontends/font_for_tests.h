// The system's Unifont, loaded once for all tests of this program.
#pragma once

#include "host/bitmap_font.h"

inline const host::BitmapFont& test_font()
{
    static const host::BitmapFont kFont = host::BitmapFont::load(host::BitmapFont::kDefaultFile);
    return kFont;
}
