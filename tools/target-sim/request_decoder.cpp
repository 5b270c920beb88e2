#include "tools/target-sim/request_decoder.h"

#include <utility>

#include "tools/target-sim/hex_text.h"

namespace sim {

std::optional<BoardRequest> RequestDecoder::feed(std::uint8_t byte)
{
    if (is_hex_digit(static_cast<char>(byte))) {
        if (digits_.size() == kMaxDigits)
            digits_.erase(0, 1);
        digits_.push_back(static_cast<char>(byte));
        return std::nullopt;
    }
    BoardRequest request{std::move(digits_), byte};
    digits_.clear();
    return request;
}

}  // namespace sim
