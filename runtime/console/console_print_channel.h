// The print channel that formatted numeric output uses: the console's print
// formatter and device output.
#pragma once

#include "runtime/core/print_channel.h"

namespace rt::console {

class ConsolePrintChannel final : public PrintChannel {
public:
    // 0 selects the main console window, 1..255 an open file number; any other
    // window reference gives 1000.
    void select(std::uint16_t window_or_channel) override;
    void print_item(std::string_view text, std::uint16_t separator) override;
};

}  // namespace rt::console
