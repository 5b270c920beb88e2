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

namespace rt {

class StringHeap;

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
    void push(const StringDescriptor& d);
    // Makes a temporary of `length` bytes in `heap` and pushes it; copies
    // `source` (which may lie in the heap) when given. Returns the text so a
    // caller passing no source can fill it. The stack check comes first, so a
    // full stack allocates nothing.
    std::uint8_t* push_new_temp(StringHeap& heap, std::uint32_t length, const std::uint8_t* source);

    // Takes the top entry into `destination`; a temporary's block is then owned
    // by `destination`. When the entry was pushed by reference, `referenced`
    // (if given) receives the original descriptor and `destination` a copy of
    // it that owns nothing. Returns false on an empty stack.
    bool pop(StringDescriptor& destination, const StringDescriptor** referenced = nullptr) noexcept;

    // The top entry's descriptor (for the checks of an operation); nullptr when empty.
    const StringDescriptor* top() const noexcept;
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
    Slot& reserve();

    std::unique_ptr<std::array<Slot, kCapacity>> slots_;
    std::uint16_t depth_ = 0;
};

}  // namespace rt
