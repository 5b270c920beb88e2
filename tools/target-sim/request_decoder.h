// Splits the received byte stream into requests: hexadecimal digits collect as
// arguments, and any other byte is the command code that closes the request.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "tools/target-sim/board_request.h"

namespace sim {

class RequestDecoder {
public:
    // Longest argument run kept; older digits are dropped, as a small monitor
    // with a fixed input buffer would.
    static constexpr std::size_t kMaxDigits = 256;

    // Takes one byte; returns the finished request when the byte is a command code.
    std::optional<BoardRequest> feed(std::uint8_t byte);

    // Digits received since the last command code.
    const std::string& pending_digits() const noexcept { return digits_; }

private:
    std::string digits_;
};

}  // namespace sim
