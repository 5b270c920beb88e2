// Turns a console window's keyboard messages into key queue entries and key
// events: Shift/Ctrl flags, the editing and paging keys, F1..F12 as events
// 2..13 (held behind the keys still waiting, see KeyQueue), Ctrl+C as the
// user break plus code 3.
#pragma once

#include <functional>

#include "host/message.h"
#include "runtime/console/key_queue.h"

namespace rt::console {

struct KeyReactions {
    std::function<void(int event)> raise_event;
    std::function<void()> beep;  // a key arrived at a full queue
};

// Returns false for a message that takes the system's default handling
// (system keys other than F10, and messages that are not keyboard messages).
bool translate_key_message(const host::Message& message, KeyQueue& queue, const KeyReactions& reactions);

}  // namespace rt::console
