// Where formatted numeric output sends its items. The console installs the
// real channel (the print formatter and device output); tests install a capture.
#pragma once

#include <cstdint>
#include <string_view>

namespace rt {

class PrintChannel {
public:
    virtual ~PrintChannel() = default;
    // Selects the target of the formatted items that follow: a window object
    // reference (0 = main console window) or a channel; raises 1000 when the
    // window is not open.
    virtual void select(std::uint16_t window_or_channel) = 0;
    // One item's text through the print formatter, then the separator
    // (0 end of line, 1 comma zone, 2 nothing).
    virtual void print_item(std::string_view text, std::uint16_t separator) = 0;
};

}  // namespace rt
