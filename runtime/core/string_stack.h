// The string stack: at most 85 string operands and results on their way
// between application code and runtime operations.
//
// A slot holds the address of a descriptor and room for a descriptor copy.
// Variables and fixed-size strings are pushed by reference. Temporaries, field
// strings and constants have their descriptor (never their text) copied into
// the slot, and a temporary's heap block names that slot copy as its owner
// while it sits here.
// Popping a temporary moves it into the caller's descriptor, which becomes the
// block's owner, so no block is ever owned by a slot above the top.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "runtime/core/string_descriptor.h"
#include "runtime/core/string_heap.h"

namespace rt {

class StringStack {
public:
    static constexpr std::uint16_t kCapacity = 85;

    StringStack() = default;
    ~StringStack();
    StringStack(const StringStack&) = delete;
    StringStack& operator=(const StringStack&) = delete;

    // Pushes `d`: by reference for variables and fixed-size strings; by
    // descriptor copy for temporaries (whose block is then owned by the slot),
    // field strings and constants. Raises 16 when 85 entries are in use.
    void push(const StringDescriptor& d)
    {
        Slot& slot = reserve();
        if (d.kind == StringKind::Variable || d.kind == StringKind::Fixed || d.kind == StringKind::FixedLength) {
            slot.ref = &d;
        } else {
            // A constant's descriptor is copied as well (its text is not): the
            // copy cannot outlive the descriptor it came from.
            copy_fields(slot.copy, d);
            slot.ref = &slot.copy;
            if (d.kind == StringKind::Temporary)
                StringHeap::adopt(slot.copy);
        }
        ++depth_;
    }
    // Makes a temporary of `length` bytes in `heap` and pushes it; copies
    // `source` (which may lie in the heap) when given. Returns the text so a
    // caller passing no source can fill it. The stack check comes first, so a
    // full stack allocates nothing.
    std::uint8_t* push_new_temp(StringHeap& heap, std::uint32_t length, const std::uint8_t* source)
    {
        Slot& slot = reserve();
        const std::uint16_t depth = depth_;
        slot.ref = &slot.copy;
        std::uint8_t* text = heap.allocate(slot.copy, StringKind::Temporary, length, source);
        depth_ = depth + 1;  // counted only once the allocation has succeeded
        return text;
    }

    // Pushes the temporary `t`, which owns its block; the slot becomes the owner.
    void push_temporary(const StringDescriptor& t)
    {
        Slot& slot = reserve();
        copy_fields(slot.copy, t);
        slot.ref = &slot.copy;
        StringHeap::adopt(slot.copy);
        ++depth_;
    }

    // Takes the top entry into `destination`; a temporary's block is then owned
    // by `destination`. When the entry was pushed by reference, `referenced`
    // (if given) receives the original descriptor and `destination` a copy of
    // it that owns nothing. Returns false on an empty stack.
    bool pop(StringDescriptor& destination, const StringDescriptor** referenced = nullptr) noexcept
    {
        if (depth_ == 0)
            return false;
        Slot& slot = (*slots_)[--depth_];
        if (slot.ref == &slot.copy) {
            copy_fields(destination, slot.copy);
            StringHeap::adopt(destination);
            slot.copy = {};
            if (referenced)
                *referenced = nullptr;
        } else {
            destination = *slot.ref;
            if (referenced)
                *referenced = slot.ref;
        }
        return true;
    }

    // Assignment of a temporary without a copy: when the top entry is a
    // temporary and `variable` a string variable, the variable releases its
    // old block, takes over the temporary's, and the entry is popped. Returns
    // false and changes nothing otherwise.
    bool pop_temporary_into(StringDescriptor& variable) noexcept
    {
        if (depth_ == 0 || variable.kind != StringKind::Variable)
            return false;
        Slot& slot = (*slots_)[depth_ - 1];
        if (slot.ref != &slot.copy || slot.copy.kind != StringKind::Temporary)
            return false;
        StringHeap::release(variable);
        variable.length = slot.copy.length;
        variable.text = slot.copy.text;
        StringHeap::adopt(variable);
        --depth_;  // the slot's stale copy is overwritten by the next push
        return true;
    }

    // The descriptor of the entry `n` places below the top (0: the top), read
    // in place; valid until the next string is made. Requires n < depth().
    const StringDescriptor& entry(std::uint16_t n) const noexcept { return *(*slots_)[depth_ - 1 - n].ref; }
    // The slot's own descriptor when that entry is a temporary, else nullptr.
    StringDescriptor* temporary_at(std::uint16_t n) noexcept
    {
        Slot& slot = (*slots_)[depth_ - 1 - n];
        return slot.ref == &slot.copy && slot.copy.kind == StringKind::Temporary ? &slot.copy : nullptr;
    }
    // Pops the top entry and releases it when it is a temporary. Requires depth() > 0.
    void discard_top() noexcept
    {
        Slot& slot = (*slots_)[--depth_];
        if (slot.ref == &slot.copy) {
            StringHeap::release(slot.copy);
            slot.copy = {};
        }
    }

    // The top entry's descriptor (for the checks of an operation); nullptr when empty.
    const StringDescriptor* top() const noexcept { return depth_ == 0 ? nullptr : (*slots_)[depth_ - 1].ref; }
    std::uint16_t depth() const noexcept { return depth_; }
    bool exists() const noexcept { return slots_ != nullptr; }
    // True when `d` is one of this stack's slot copies.
    bool is_slot_copy(const StringDescriptor* d) const noexcept;

    // Releases every temporary on the stack and discards the stack; the next
    // push creates it again. Used when an error is raised, and at termination.
    void release_all() noexcept;

private:
    struct Slot {
        const StringDescriptor* ref;  // the pushed descriptor, or &copy
        StringDescriptor copy;
    };
    // Member by member: a descriptor written member by member just before is
    // then read the same way, which the processor forwards from its stores
    // (a copy of the whole record would wait for them to reach the cache).
    static void copy_fields(StringDescriptor& to, const StringDescriptor& from) noexcept
    {
        to.kind = from.kind;
        to.length = from.length;
        to.text = from.text;
    }
    // The next free slot; creates the stack when needed, raises 16 when full.
    Slot& reserve()
    {
        if (slots_ && depth_ < kCapacity) [[likely]]
            return (*slots_)[depth_];
        return reserve_first_or_raise();
    }
    Slot& reserve_first_or_raise();

    std::unique_ptr<std::array<Slot, kCapacity>> slots_;
    std::uint16_t depth_ = 0;
};

}  // namespace rt
