#include "runtime/core/string_stack.h"

#include <functional>

#include "runtime/core/error.h"
#include "runtime/core/string_heap.h"

namespace rt {

namespace {
constexpr std::uint16_t kSiteStackFull = 0xC501;  // 16: 85 entries in use

// A constant's descriptor is copied as well (its text is not): the copy cannot
// outlive the descriptor it came from, and nothing ever rewrites a constant.
bool pushed_by_copy(StringKind kind) noexcept
{
    return kind == StringKind::Temporary || kind == StringKind::Field || kind == StringKind::Constant;
}
}  // namespace

StringStack::~StringStack()
{
    release_all();
}

StringStack::Slot& StringStack::reserve()
{
    if (!slots_)
        slots_ = std::make_unique<std::array<Slot, kCapacity>>();
    if (depth_ >= kCapacity)
        RAISE_ERROR(err::StringStackFull, kSiteStackFull);
    return (*slots_)[depth_];
}

void StringStack::push(const StringDescriptor& d)
{
    Slot& slot = reserve();
    if (pushed_by_copy(d.kind)) {
        slot.copy = d;
        slot.ref = &slot.copy;
        if (d.kind == StringKind::Temporary)
            StringHeap::adopt(slot.copy);
    } else {
        slot.ref = &d;
    }
    ++depth_;
}

std::uint8_t* StringStack::push_new_temp(StringHeap& heap, std::uint32_t length, const std::uint8_t* source)
{
    Slot& slot = reserve();
    std::uint8_t* text = heap.allocate(slot.copy, StringKind::Temporary, length, source);
    slot.ref = &slot.copy;
    ++depth_;
    return text;
}

bool StringStack::pop(StringDescriptor& destination, const StringDescriptor** referenced) noexcept
{
    if (depth_ == 0)
        return false;
    Slot& slot = (*slots_)[--depth_];
    if (slot.ref == &slot.copy) {
        destination = slot.copy;
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

const StringDescriptor* StringStack::top() const noexcept
{
    return depth_ == 0 ? nullptr : (*slots_)[depth_ - 1].ref;
}

bool StringStack::is_slot_copy(const StringDescriptor* d) const noexcept
{
    if (!slots_)
        return false;
    const void* begin = slots_->data();
    const void* end = slots_->data() + kCapacity;
    return std::less_equal<const void*>()(begin, d) && std::less<const void*>()(d, end);
}

void StringStack::release_all() noexcept
{
    if (slots_) {
        for (std::uint16_t i = 0; i < depth_; ++i) {
            Slot& slot = (*slots_)[i];
            if (slot.ref == &slot.copy)
                StringHeap::release(slot.copy);
        }
    }
    depth_ = 0;
    slots_.reset();
}

}  // namespace rt
