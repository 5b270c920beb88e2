#include "runtime/console/key_translation.h"

#include <optional>

#include "runtime/console/key_codes.h"

namespace rt::console {

namespace {

constexpr std::uint32_t kVirtualClear = 0x0C;
constexpr std::uint32_t kVirtualExecute = 0x2B;
constexpr std::uint32_t kVirtualF10 = 0x79;
constexpr int kFunctionKeyEventBase = 0x6E;  // F1 (0x70) raises event 2

void queue_key(KeyQueue& queue, std::uint8_t code, const KeyReactions& reactions)
{
    if (!queue.push(code) && reactions.beep)
        reactions.beep();
}

std::optional<std::uint8_t> code_of_virtual_key(std::uint32_t v, bool shift) noexcept
{
    switch (v) {
    case host::vk::kHome: return shift ? key::kShiftHome : key::kHome;
    case kVirtualClear: return key::kShiftHome;
    case host::vk::kPageUp: return key::kPageUp;
    case host::vk::kPageDown: return key::kPageDown;
    case host::vk::kEnd: return key::kEnd;
    case host::vk::kLeft: return key::kLeft;
    case host::vk::kUp: return key::kUp;
    case host::vk::kRight: return key::kRight;
    case host::vk::kDown: return key::kDown;
    case kVirtualExecute: return key::kEnter;
    case host::vk::kInsert: return key::kInsert;
    case host::vk::kDelete: return key::kDelete;
    default: return std::nullopt;
    }
}

void key_down(std::uint32_t v, KeyQueue& queue, const KeyReactions& reactions)
{
    if (v == host::vk::kShift) {
        queue.shift_flags |= kShiftDown;
    } else if (v == host::vk::kControl) {
        queue.shift_flags |= kCtrlDown;
    } else if (auto code = code_of_virtual_key(v, (queue.shift_flags & kShiftDown) != 0)) {
        queue_key(queue, *code, reactions);
    } else if (v >= host::vk::kF1 && v <= host::vk::kF12) {
        const int event = static_cast<int>(v) - kFunctionKeyEventBase;
        if (!queue.hold_event_behind_keys(event) && reactions.raise_event)
            reactions.raise_event(event);
    }
}

}  // namespace

bool translate_key_message(const host::Message& message, KeyQueue& queue, const KeyReactions& reactions)
{
    switch (message.kind) {
    case host::MessageKind::KeyDown:
        key_down(message.key, queue, reactions);
        return true;
    case host::MessageKind::KeyUp:
        if (message.key == host::vk::kShift)
            queue.shift_flags &= static_cast<std::uint8_t>(~kShiftDown);
        else if (message.key == host::vk::kControl)
            queue.shift_flags &= static_cast<std::uint8_t>(~kCtrlDown);
        return true;
    case host::MessageKind::SysKeyDown:
        if (message.key != kVirtualF10)
            return false;
        key_down(message.key, queue, reactions);
        return true;
    case host::MessageKind::Char: {
        const std::uint8_t code = message.character;
        if (code == key::kBreak && reactions.raise_event)
            reactions.raise_event(1);
        queue_key(queue, code, reactions);
        return true;
    }
    default:
        return false;
    }
}

}  // namespace rt::console
