#include "runtime/core/string_stack.h"

#include <functional>

#include "runtime/core/error.h"
#include "runtime/core/string_heap.h"

namespace rt {

namespace {
namespace site {
inline constexpr std::uint16_t kStackFull = 0xC501;  // 16: 85 entries in use
}  // namespace site
}  // namespace

StringStack::~StringStack()
{
    release_all();
}

StringStack::Slot& StringStack::reserve_first_or_raise()
{
    if (!slots_)
        slots_ = std::make_unique<std::array<Slot, kCapacity>>();
    if (depth_ >= kCapacity)
        RAISE_ERROR(err::kStringStackFull, site::kStackFull);
    return (*slots_)[depth_];
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
