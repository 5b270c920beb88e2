#include "runtime/core/string_heap.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>

#include "runtime/core/error.h"

namespace rt {

namespace {
// Site codes of the heap's checks (the high byte 0xC5 is shared with the push
// of a new temporary, whose stack check is 0xC501).
namespace site {
inline constexpr std::uint16_t kCreate = 0xC502;      // 7: the heap cannot be created
inline constexpr std::uint16_t kGrow = 0xC503;        // 82: growth failed
inline constexpr std::uint16_t kShrink = 0xC504;      // 82: shrink after compaction failed
inline constexpr std::uint16_t kSourceCopy = 0xC505;  // 7: no room to save the source text
}  // namespace site

constexpr std::size_t kSmallCopy = 512;

bool pointer_in(const void* p, const void* begin, const void* end) noexcept
{
    std::less_equal<const void*> le;
    std::less<const void*> lt;
    return le(begin, p) && lt(p, end);
}
}  // namespace

void StringHeap::FreeDeleter::operator()(std::byte* p) const noexcept
{
    std::free(p);
}

StringHeap::~StringHeap()
{
    release_all();
}

bool StringHeap::refuse_allocation() noexcept
{
    if (!fail_next_)
        return false;
    fail_next_ = false;
    return true;
}

bool StringHeap::contains(const void* p) const noexcept
{
    return base_ && pointer_in(p, base_.get(), base_.get() + capacity_);
}

std::uint8_t* StringHeap::allocate_with_room(StringDescriptor& owner, StringKind kind, std::uint32_t length,
                                             const std::uint8_t* source)
{
    if (length == 0) {
        owner = {kind, 0, nullptr};
        return nullptr;
    }
    const std::size_t need = block_size(length);

    // Saved copy of a source that lies in the heap, which compaction and
    // growth may move or overwrite (it can be a block released just before).
    std::array<std::uint8_t, kSmallCopy> small_copy;
    std::unique_ptr<std::uint8_t[]> large_copy;

    if (!base_) {
        create(need);
    } else if (kCompactsEveryTime || free_bytes() < need) {
        if (source && contains(source)) {
            if (length <= kSmallCopy) {
                std::memcpy(small_copy.data(), source, length);
                source = small_copy.data();
            } else {
                if (!refuse_allocation())
                    large_copy.reset(new (std::nothrow) std::uint8_t[length]);
                if (!large_copy)
                    RAISE_ERROR(err::kOutOfMemory, site::kSourceCopy);
                std::memcpy(large_copy.get(), source, length);
                source = large_copy.get();
            }
        }
        compact();
        if (free_bytes() < need)
            grow(need);
    }
    return append_block(owner, kind, length, source);
}

std::unique_ptr<std::uint32_t[]> StringHeap::new_index(std::size_t capacity) noexcept
{
    if (capacity / kAlignment > std::numeric_limits<std::uint32_t>::max())
        return nullptr;  // beyond what an index entry can address
    return std::unique_ptr<std::uint32_t[]>(new (std::nothrow) std::uint32_t[index_entries(capacity)]);
}

void StringHeap::create(std::size_t need)
{
    const std::size_t units = (need >> 16) + 1;
    Buffer heap(refuse_allocation() ? nullptr : static_cast<std::byte*>(std::malloc(units * kUnit)));
    auto index = heap ? new_index(units * kUnit) : nullptr;
    if (!heap || !index)
        RAISE_ERROR(err::kOutOfMemory, site::kCreate);
    base_ = std::move(heap);
    block_starts_ = std::move(index);
    block_count_ = 0;
    units_ = units;
    capacity_ = units * kUnit;
    used_ = 0;
}

void StringHeap::grow(std::size_t need)
{
    resize(units_ + (((need - free_bytes()) >> 16) + 1), site::kGrow);
}

void StringHeap::resize(std::size_t new_units, std::uint16_t site)
{
    const std::size_t new_capacity = new_units * kUnit;
    // A larger heap needs a larger index first; a smaller one keeps its index
    // when no smaller one can be had.
    auto index = new_index(new_capacity);
    if (!index && new_capacity > capacity_)
        RAISE_ERROR(err::kHeapReallocFailed, site);
    std::byte* old = base_.get();
    std::byte* p = refuse_allocation() ? nullptr : static_cast<std::byte*>(std::realloc(old, new_capacity));
    if (!p)
        RAISE_ERROR(err::kHeapReallocFailed, site);  // the old block is intact
    (void)base_.release();
    base_.reset(p);
    if (index) {
        std::copy_n(block_starts_.get(), block_count_, index.get());
        block_starts_ = std::move(index);
    }
    units_ = new_units;
    capacity_ = new_capacity;
    if (p != old)
        rewrite_owners();
}

void StringHeap::compact()
{
    if (!base_)
        return;
    std::size_t to = 0;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < block_count_; ++i) {
        const std::size_t from = std::size_t{block_starts_[i]} * kAlignment;
        const BlockHeader& h = header_at(from);
        if (!h.owner)
            continue;
        const std::size_t size = block_size(h.length);
        if (to != from) {
            std::memmove(base_.get() + to, base_.get() + from, size);
            StringDescriptor* owner = header_at(to).owner;
            if (owner->length != 0)
                owner->text = reinterpret_cast<std::uint8_t*>(base_.get() + to + kHeaderSize);
        }
        block_starts_[kept++] = static_cast<std::uint32_t>(to / kAlignment);
        to += size;
    }
    block_count_ = kept;
    used_ = to;
    if (kCompactsEveryTime)
        relocate_for_stress();
    const std::size_t needed_units = (used_ >> 16) + 1;
    if (needed_units < units_)
        resize(needed_units, site::kShrink);
}

// Under stress every compaction moves the heap to a new address, so any text
// pointer that was not rewritten points into freed memory and the address
// sanitizer reports it.
void StringHeap::relocate_for_stress() noexcept
{
    auto* p = static_cast<std::byte*>(std::malloc(capacity_));
    if (!p)
        return;
    std::memcpy(p, base_.get(), used_);
    base_.reset(p);
    rewrite_owners();
}

void StringHeap::rewrite_owners() noexcept
{
    for (std::size_t off = 0; off < used_;) {
        const BlockHeader& h = header_at(off);
        if (h.owner && h.owner->length != 0)
            h.owner->text = reinterpret_cast<std::uint8_t*>(base_.get() + off + kHeaderSize);
        off += block_size(h.length);
    }
}

void StringHeap::release_owned_in(const void* begin, const void* end) noexcept
{
    for (std::size_t off = 0; off < used_;) {
        BlockHeader& h = header_at(off);
        if (h.owner && pointer_in(h.owner, begin, end)) {
            StringDescriptor* owner = h.owner;
            h.owner = nullptr;
            owner->length = 0;
            owner->text = nullptr;
        }
        off += block_size(h.length);
    }
}

void StringHeap::release_all() noexcept
{
    // Owners outlive the heap (variables of the application): leave them empty
    // so that they neither read nor release a block that is gone.
    for (std::size_t off = 0; off < used_;) {
        BlockHeader& h = header_at(off);
        if (h.owner) {
            h.owner->length = 0;
            h.owner->text = nullptr;
            h.owner = nullptr;
        }
        off += block_size(h.length);
    }
    base_.reset();
    block_starts_.reset();
    block_count_ = 0;
    units_ = 0;
    capacity_ = 0;
    used_ = 0;
    scratch_.release_all();
}

std::vector<HeapBlockInfo> StringHeap::walk() const
{
    std::vector<HeapBlockInfo> blocks;
    for (std::size_t off = 0; off < used_;) {
        const BlockHeader& h = header_at(off);
        blocks.push_back({h.owner, h.frame, h.length,
                          reinterpret_cast<const std::uint8_t*>(base_.get() + off + kHeaderSize)});
        off += block_size(h.length);
    }
    return blocks;
}

std::size_t StringHeap::live_blocks() const noexcept
{
    std::size_t n = 0;
    for (std::size_t off = 0; off < used_;) {
        const BlockHeader& h = header_at(off);
        n += h.owner != nullptr;
        off += block_size(h.length);
    }
    return n;
}

}  // namespace rt
