#include "runtime/core/scratch_buffer.h"

#include <new>

#include "runtime/core/error.h"

namespace rt {

namespace {
namespace site {
inline constexpr std::uint16_t kScratchMemory = 0xCA01;
}  // namespace site

std::unique_ptr<std::uint8_t[]> allocate_block(std::size_t size)
{
    std::unique_ptr<std::uint8_t[]> block(new (std::nothrow) std::uint8_t[size]);
    if (!block)
        RAISE_ERROR(err::kOutOfMemory, site::kScratchMemory);
    return block;
}
}  // namespace

ScratchBuffer::Lease::Lease(Lease&& other) noexcept
    : owner_(other.owner_), data_(other.data_), size_(other.size_), own_(std::move(other.own_))
{
    other.owner_ = nullptr;
    other.data_ = nullptr;
    other.size_ = 0;
}

ScratchBuffer::Lease::~Lease()
{
    if (owner_)
        owner_->end_lease();
}

ScratchBuffer::Lease ScratchBuffer::acquire(std::size_t size)
{
    if (leased_) {
        auto own = allocate_block(size == 0 ? 1 : size);
        std::uint8_t* data = own.get();
        return Lease(nullptr, data, size, std::move(own));
    }
    if (size <= kStaticSize) {
        leased_ = true;
        return Lease(this, area_.data(), size, nullptr);
    }
    // Only one large block exists at a time: the new request replaces it.
    large_.reset();
    large_ = allocate_block(size);
    leased_ = true;
    return Lease(this, large_.get(), size, nullptr);
}

void ScratchBuffer::end_lease() noexcept
{
    leased_ = false;
    large_.reset();
}

}  // namespace rt
