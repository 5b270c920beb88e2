// The key queue of a console window: 256 one-byte entries with 8-bit read and
// write indexes, so it holds at most 255 keys; and the Shift/Ctrl flags.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace rt::console {

inline constexpr std::uint8_t kShiftDown = 0x01;
inline constexpr std::uint8_t kCtrlDown = 0x02;

class KeyQueue {
public:
    bool empty() const noexcept { return read_ == write_; }
    int size() const noexcept { return static_cast<std::uint8_t>(write_ - read_); }
    // False (and nothing stored) when the queue is full.
    bool push(std::uint8_t code) noexcept;
    std::optional<std::uint8_t> pop() noexcept;
    std::optional<std::uint8_t> peek() const noexcept;
    void clear() noexcept { read_ = write_; }

    std::uint8_t shift_flags = 0;

private:
    std::uint8_t read_ = 0;
    std::uint8_t write_ = 0;
    std::array<std::uint8_t, 256> entries_{};
};

}  // namespace rt::console
