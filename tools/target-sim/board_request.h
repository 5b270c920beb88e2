// One request as the resident monitor receives it: the argument digits that
// came before the command code byte, and the code itself.
#pragma once

#include <cstdint>
#include <string>

namespace sim {

struct BoardRequest {
    std::string digits;  // ASCII hexadecimal digits as received (either case)
    std::uint8_t code = 0;
};

}  // namespace sim
