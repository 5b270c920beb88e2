// The string heap: one growable memory block holding every dynamic string's
// text, block after block, each block naming the descriptor that owns it.
//
// Blocks are only ever appended (and the last one may grow in place).
// Releasing a string marks its block free; the space returns at the next
// compaction, which slides live blocks down and rewrites their owners' text
// addresses. The heap grows and shrinks in units of
// 65,536 bytes; after any move every live owner is rewritten as well, so an
// owner descriptor must stay at one address while it owns a block (string
// variables, array elements, string stack slots, popped operands).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "runtime/core/scratch_buffer.h"
#include "runtime/core/string_descriptor.h"

namespace rt {

// One block as a heap walk reports it.
struct HeapBlockInfo {
    const StringDescriptor* owner;  // nullptr: free
    std::uint32_t frame;            // procedure frame current when the block was made
    std::uint32_t length;
    const std::uint8_t* text;
};

class StringHeap {
public:
    static constexpr std::size_t kUnit = 65536;

    // Block header in front of each text: owner address, frame, length.
    struct BlockHeader {
        StringDescriptor* owner;
        std::uint32_t frame;
        std::uint32_t length;
    };
    static_assert(sizeof(BlockHeader) == 16);
    static constexpr std::size_t kHeaderSize = sizeof(BlockHeader);
    static constexpr std::size_t kAlignment = alignof(BlockHeader);

    StringHeap() = default;
    ~StringHeap();
    StringHeap(const StringHeap&) = delete;
    StringHeap& operator=(const StringHeap&) = delete;

    // Appends a block of `length` bytes owned by `owner` and sets `owner` to
    // {kind, length, text}. The text is copied from `source` when given (it may
    // lie in this heap, even in a block already released), else left for the
    // caller to fill. Length 0 makes no block and sets `owner` to {kind, 0, null}.
    // Raises 7 when memory cannot be had, 82 when the heap cannot be resized;
    // `owner` is untouched then.
    std::uint8_t* allocate(StringDescriptor& owner, StringKind kind, std::uint32_t length,
                           const std::uint8_t* source = nullptr)
    {
        if (has_room_for(length) && length != 0) [[likely]]
            return append_block(owner, kind, length, source);
        return allocate_with_room(owner, kind, length, source);
    }
    // True when a block of `length` bytes fits without compaction or growth,
    // so that allocating it moves no text.
    bool has_room_for(std::uint32_t length) const noexcept
    {
        return !kCompactsEveryTime && block_size(length) <= capacity_ - used_;
    }
    // Lengthens the temporary or variable `owner` by `extra` bytes copied from
    // `source`, in place, when its block is the last one and the room after it
    // suffices; returns false and changes nothing otherwise (also when `source`
    // lies at or after the block, which the lengthening would overwrite).
    bool extend_in_place(StringDescriptor& owner, std::uint32_t extra, const std::uint8_t* source) noexcept
    {
        if (kCompactsEveryTime || !has_block(owner))
            return false;
        BlockHeader& header = header_of(owner.text);
        const std::uint32_t length = header.length;
        const std::size_t old_size = block_size(length);
        auto* block = reinterpret_cast<std::byte*>(&header);
        if (header.owner != &owner || block + old_size != base_.get() + used_)
            return false;  // not the owner's own block, or not the last one
        if (extra > std::numeric_limits<std::uint32_t>::max() - length)
            return false;
        const std::size_t added = block_size(length + extra) - old_size;
        if (added > capacity_ - used_)
            return false;
        const auto at = reinterpret_cast<std::uintptr_t>(source);
        if (at >= reinterpret_cast<std::uintptr_t>(block) &&
            at < reinterpret_cast<std::uintptr_t>(base_.get() + capacity_))
            return false;  // the lengthening would overwrite the source
        if (extra != 0)
            std::memcpy(owner.text + length, source, extra);
        header.length = length + extra;
        owner.length = length + extra;
        used_ += added;
        return true;
    }

    // The frame number that new blocks record: the program frame's current
    // one once the runtime connects it (0, the main program, until then).
    void follow_frame_number(const std::uint32_t& frame) noexcept { frame_number_ = &frame; }

    // Marks the block of `d` free when `d` is a variable or temporary that owns
    // it (a copy of an owner releases nothing), and empties `d`.
    static void release(StringDescriptor& d) noexcept
    {
        if (has_block(d)) {
            BlockHeader& h = header_of(d.text);
            if (h.owner == &d)
                h.owner = nullptr;
            d.length = 0;
            d.text = nullptr;
        }
    }
    // Makes `new_owner`, which holds a copy of the owning descriptor, the owner
    // of the block (used when a value moves to another descriptor).
    static void adopt(StringDescriptor& new_owner) noexcept
    {
        if (has_block(new_owner))
            header_of(new_owner.text).owner = &new_owner;
    }
    // True when `d` is the recorded owner of the block it points at.
    static bool owns_block(const StringDescriptor& d) noexcept
    {
        return has_block(d) && header_of(d.text).owner == &d;
    }

    // Slides live blocks down over free ones and shrinks when fewer units will do.
    void compact();
    // Releases every block whose owner lies in [begin, end) (a frame's locals).
    void release_owned_in(const void* begin, const void* end) noexcept;
    // Termination: empties every owner, then frees the heap and the scratch.
    void release_all() noexcept;

    // Live and free blocks in heap order.
    std::vector<HeapBlockInfo> walk() const;
    std::size_t live_blocks() const noexcept;
    std::size_t units() const noexcept { return units_; }
    std::size_t used() const noexcept { return used_; }
    std::size_t free_bytes() const noexcept { return capacity_ - used_; }
    bool contains(const void* p) const noexcept;

    // Intermediate text for string operations.
    ScratchBuffer& scratch() noexcept { return scratch_; }

    // Test hook: the next memory request of the heap (creation, large
    // temporary copy, growth, shrink) fails as if the system had refused it.
    void fail_next_allocation() noexcept { fail_next_ = true; }

    static std::size_t block_size(std::uint32_t length) noexcept
    {
        return (kHeaderSize + length + kAlignment - 1) & ~(kAlignment - 1);
    }

#ifdef QK_HEAP_STRESS
    static constexpr bool kCompactsEveryTime = true;
#else
    static constexpr bool kCompactsEveryTime = false;
#endif

private:
    struct FreeDeleter {
        void operator()(std::byte* p) const noexcept;
    };
    using Buffer = std::unique_ptr<std::byte, FreeDeleter>;

    BlockHeader& header_at(std::size_t offset) const noexcept
    {
        return *reinterpret_cast<BlockHeader*>(base_.get() + offset);
    }
    // Variables and temporaries with text have a block in front of the text.
    static bool has_block(const StringDescriptor& d) noexcept
    {
        return (d.kind == StringKind::Variable || d.kind == StringKind::Temporary) && d.text;
    }
    static BlockHeader& header_of(const std::uint8_t* text) noexcept
    {
        return *reinterpret_cast<BlockHeader*>(const_cast<std::uint8_t*>(text) - kHeaderSize);
    }
    // The block goes at the end of the used part, which has room for it.
    std::uint8_t* append_block(StringDescriptor& owner, StringKind kind, std::uint32_t length,
                               const std::uint8_t* source) noexcept
    {
        // The heap's own fields are read once and written before the text is
        // copied, so the copy does not make the compiler read them again.
        const std::size_t at = used_;
        used_ = at + block_size(length);
        block_starts_[block_count_++] = static_cast<std::uint32_t>(at / kAlignment);
        auto* header = reinterpret_cast<BlockHeader*>(base_.get() + at);
        header->owner = &owner;
        header->frame = *frame_number_;
        header->length = length;
        auto* text = reinterpret_cast<std::uint8_t*>(header) + kHeaderSize;
        owner = {kind, length, text};
        if (source)
            std::memcpy(text, source, length);
        return text;
    }
    // Makes room first (creation, compaction, growth), then appends.
    std::uint8_t* allocate_with_room(StringDescriptor& owner, StringKind kind, std::uint32_t length,
                                     const std::uint8_t* source);
    bool refuse_allocation() noexcept;
    void create(std::size_t need);
    void grow(std::size_t need);
    void resize(std::size_t new_units, std::uint16_t site);
    void relocate_for_stress() noexcept;
    void rewrite_owners() noexcept;

    // Offsets of the blocks in heap order, in units of kAlignment, so that
    // compaction finds each block without following the chain of lengths
    // through every header. Room for the most blocks the heap can hold.
    static std::size_t index_entries(std::size_t capacity) noexcept { return capacity / block_size(1); }
    static std::unique_ptr<std::uint32_t[]> new_index(std::size_t capacity) noexcept;

    Buffer base_;
    std::unique_ptr<std::uint32_t[]> block_starts_;
    std::size_t block_count_ = 0;
    std::size_t units_ = 0;
    std::size_t capacity_ = 0;  // units_ * kUnit
    std::size_t used_ = 0;
    static constexpr std::uint32_t kMainProgramFrame = 0;
    const std::uint32_t* frame_number_ = &kMainProgramFrame;
    bool fail_next_ = false;
    ScratchBuffer scratch_;
};

}  // namespace rt
