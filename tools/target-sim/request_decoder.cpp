#include "request_decoder.h"

#include <utility>

namespace sim {

bool RequestDecoder::is_hex_digit(std::uint8_t byte) noexcept
{
    return (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'F') || (byte >= 'a' && byte <= 'f');
}

std::optional<BoardRequest> RequestDecoder::feed(std::uint8_t byte)
{
    if (is_hex_digit(byte)) {
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
