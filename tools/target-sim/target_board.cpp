#include "tools/target-sim/target_board.h"

#include "tools/target-sim/hex_text.h"

namespace sim {

namespace {

constexpr std::uint8_t kRead16 = 0x1F;
constexpr std::uint8_t kClearBit = 0x20;
constexpr std::uint8_t kSetBit = 0x21;
constexpr std::uint8_t kPortOut = 0x22;
constexpr std::uint8_t kPortIn = 0x23;
constexpr std::uint8_t kPortBitLow = 0x24;
constexpr std::uint8_t kPortBitHigh = 0x25;
constexpr std::uint8_t kFirstSizedRead = 0x10;

// Value of `count` digits starting at `from`; the decoder guarantees digits.
std::uint32_t digits_value(std::string_view digits, std::size_t from, std::size_t count) noexcept
{
    std::uint32_t value = 0;
    for (std::size_t i = from; i < from + count; ++i)
        value = value * 16 + static_cast<std::uint32_t>(hex_digit_value(digits[i]));
    return value;
}

}  // namespace

TargetBoard::TargetBoard(BoardKind kind)
    : kind_(kind), memory_(kind == BoardKind::Z80 ? 0x10000 : 0x200, 0), ports_(256, 0)
{
}

std::string TargetBoard::read_memory(std::uint32_t address, std::uint32_t count) const
{
    std::vector<std::uint8_t> bytes(count);
    for (std::uint32_t i = 0; i < count; ++i)
        bytes[i] = peek(address + i);
    return hex_bytes(bytes.data(), bytes.size());
}

std::optional<std::string> TargetBoard::answer(const BoardRequest& request)
{
    const std::string_view digits = request.digits;
    const std::uint8_t code = request.code;

    if (code < kRead16) {
        const std::uint32_t write_count = code + 1u;
        if (digits.size() == 4 + 2 * write_count) {
            const std::uint32_t address = digits_value(digits, 0, 4);
            for (std::uint32_t i = 0; i < write_count; ++i)
                poke(address + i, static_cast<std::uint8_t>(digits_value(digits, 4 + 2 * i, 2)));
            return read_memory(address, write_count);
        }
        if (code >= kFirstSizedRead && digits.size() == 4)
            return read_memory(digits_value(digits, 0, 4), code - kFirstSizedRead + 1u);
        return std::nullopt;
    }

    // Fixed-length requests: the last `needed` digits are the argument.
    auto argument = [&](std::size_t needed) -> std::optional<std::string_view> {
        if (digits.size() < needed)
            return std::nullopt;
        return digits.substr(digits.size() - needed);
    };

    switch (code) {
    case kRead16: {
        auto arg = argument(4);
        if (!arg)
            return std::nullopt;
        return read_memory(digits_value(*arg, 0, 4), 16);
    }
    case kClearBit:
    case kSetBit: {
        auto arg = argument(5);
        if (!arg)
            return std::nullopt;
        const std::uint32_t address = digits_value(*arg, 0, 4);
        const std::uint32_t bit = digits_value(*arg, 4, 1);
        if (bit > 7)
            return std::nullopt;
        const auto mask = static_cast<std::uint8_t>(1u << bit);
        std::uint8_t value = peek(address);
        value = code == kSetBit ? static_cast<std::uint8_t>(value | mask) : static_cast<std::uint8_t>(value & ~mask);
        poke(address, value);
        return hex_bytes(&value, 1);
    }
    case kPortOut: {
        auto arg = argument(4);
        if (!arg || !has_ports())
            return std::nullopt;
        const auto number = static_cast<std::uint8_t>(digits_value(*arg, 0, 2));
        const auto value = static_cast<std::uint8_t>(digits_value(*arg, 2, 2));
        set_port(number, value);
        return hex_bytes(&value, 1);
    }
    case kPortIn: {
        auto arg = argument(2);
        if (!arg || !has_ports())
            return std::nullopt;
        const std::uint8_t value = port(static_cast<std::uint8_t>(digits_value(*arg, 0, 2)));
        return hex_bytes(&value, 1);
    }
    case kPortBitLow:
    case kPortBitHigh: {
        auto arg = argument(3);
        if (!arg || !has_ports())
            return std::nullopt;
        const auto number = static_cast<std::uint8_t>(digits_value(*arg, 0, 2));
        const std::uint32_t bit = digits_value(*arg, 2, 1);
        if (bit > 7)
            return std::nullopt;
        const auto mask = static_cast<std::uint8_t>(1u << bit);
        std::uint8_t value = port(number);
        value = code == kPortBitHigh ? static_cast<std::uint8_t>(value | mask) : static_cast<std::uint8_t>(value & ~mask);
        set_port(number, value);
        return hex_bytes(&value, 1);
    }
    default:
        return std::nullopt;
    }
}

}  // namespace sim
