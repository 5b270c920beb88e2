// The subroutine stack: one entry per running GOSUB or event subroutine, at
// most 128, each naming the event that started it (-1 for a plain GOSUB) and
// the procedure frame it was called from.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace rt {

class GosubStack {
public:
    static constexpr std::size_t kCapacity = 128;
    static constexpr std::int16_t kPlainGosub = -1;

    struct Entry {
        std::int16_t event = kPlainGosub;
        std::uint32_t frame = 0;
    };

    // False (and nothing pushed) when all 128 entries are in use.
    bool push(Entry entry) noexcept;
    void pop() noexcept;
    // nullptr when empty.
    const Entry* top() const noexcept { return depth_ ? &entries_[depth_ - 1] : nullptr; }
    std::size_t depth() const noexcept { return depth_; }
    void clear() noexcept { depth_ = 0; }

private:
    std::array<Entry, kCapacity> entries_{};
    std::size_t depth_ = 0;
};

}  // namespace rt
