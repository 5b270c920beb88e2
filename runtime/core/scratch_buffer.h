// Room for intermediate text of string operations: a fixed 512-byte area, and
// one separately allocated block for longer requests.
//
// A lease hands out the room and gives it back when it ends, so every
// operation releases its scratch before returning, also when it raises.
// A request made while another lease is active gets a block of its own
// instead of overwriting the text the first one holds.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace rt {

class ScratchBuffer {
public:
    static constexpr std::size_t kStaticSize = 512;

    class Lease {
    public:
        Lease(Lease&& other) noexcept;
        Lease& operator=(Lease&&) = delete;
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        ~Lease();

        std::uint8_t* data() noexcept { return data_; }
        std::size_t size() const noexcept { return size_; }
        std::span<std::uint8_t> span() noexcept { return {data_, size_}; }

    private:
        friend class ScratchBuffer;
        Lease(ScratchBuffer* owner, std::uint8_t* data, std::size_t size, std::unique_ptr<std::uint8_t[]> own) noexcept
            : owner_(owner), data_(data), size_(size), own_(std::move(own))
        {
        }
        ScratchBuffer* owner_;  // set while this lease holds the buffer's own room
        std::uint8_t* data_;
        std::size_t size_;
        std::unique_ptr<std::uint8_t[]> own_;  // a nested lease's private block
    };

    ScratchBuffer() = default;
    ScratchBuffer(const ScratchBuffer&) = delete;
    ScratchBuffer& operator=(const ScratchBuffer&) = delete;

    // Room for `size` bytes; raises 7 when a longer block cannot be allocated.
    Lease acquire(std::size_t size);

    bool leased() const noexcept { return leased_; }
    bool holds_large_block() const noexcept { return large_ != nullptr; }
    // Frees the large block (termination).
    void release_all() noexcept { large_.reset(); }

private:
    void end_lease() noexcept;

    std::array<std::uint8_t, kStaticSize> area_{};
    std::unique_ptr<std::uint8_t[]> large_;
    bool leased_ = false;
};

}  // namespace rt
