#include "runtime/core/gosub_stack.h"

namespace rt {

bool GosubStack::push(Entry entry) noexcept
{
    if (depth_ == kCapacity)
        return false;
    entries_[depth_++] = entry;
    return true;
}

void GosubStack::pop() noexcept
{
    if (depth_)
        --depth_;
}

}  // namespace rt
