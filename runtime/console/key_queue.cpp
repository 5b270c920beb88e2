#include "key_queue.h"

namespace rt::console {

bool KeyQueue::push(std::uint8_t code) noexcept
{
    const auto next = static_cast<std::uint8_t>(write_ + 1);
    if (next == read_)
        return false;
    entries_[write_] = code;
    write_ = next;
    return true;
}

std::optional<std::uint8_t> KeyQueue::pop() noexcept
{
    if (empty())
        return std::nullopt;
    return entries_[read_++];
}

std::optional<std::uint8_t> KeyQueue::peek() const noexcept
{
    if (empty())
        return std::nullopt;
    return entries_[read_];
}

}  // namespace rt::console
