#include <gtest/gtest.h>

#include <vector>

#include "runtime/console/key_codes.h"
#include "runtime/console/key_queue.h"
#include "runtime/console/key_translation.h"

namespace rt::console {
namespace {

struct Keyboard {
    KeyQueue queue{[this](int e) { events.push_back(e); }};
    std::vector<int> events;
    int beeps = 0;
    KeyReactions reactions{[this](int e) { events.push_back(e); }, [this] { ++beeps; }};

    void down(std::uint32_t v) { translate_key_message(host::Message{1, host::MessageKind::KeyDown, v, 1}, queue, reactions); }
    void up(std::uint32_t v) { translate_key_message(host::Message{1, host::MessageKind::KeyUp, v, 0}, queue, reactions); }
    void character(std::uint8_t c) { translate_key_message(host::Message{.window = 1, .kind = host::MessageKind::Char, .character = c}, queue, reactions); }
    std::vector<int> drain()
    {
        std::vector<int> codes;
        while (auto c = queue.pop())
            codes.push_back(*c);
        return codes;
    }
};

TEST(KeyTranslation, PagingCursorAndEditingKeysQueueTheirCodes)
{
    Keyboard k;
    for (auto v : {host::vk::kPageUp, host::vk::kPageDown, host::vk::kUp, host::vk::kDown, host::vk::kLeft, host::vk::kRight,
                   host::vk::kHome, host::vk::kEnd, host::vk::kInsert, host::vk::kDelete})
        k.down(v);
    EXPECT_EQ(k.drain(), (std::vector<int>{19, 20, 30, 31, 29, 28, 11, 21, 18, 4}));
    // Letters come with the character message only.
    k.down('A');
    k.character('a');
    EXPECT_EQ(k.drain(), std::vector<int>{'a'});
}

TEST(KeyTranslation, ShiftHomeWhileShiftIsDown)
{
    Keyboard k;
    k.down(host::vk::kShift);
    EXPECT_EQ(k.queue.shift_flags, kShiftDown);
    k.down(host::vk::kHome);
    k.up(host::vk::kShift);
    k.down(host::vk::kHome);
    EXPECT_EQ(k.drain(), (std::vector<int>{12, 11}));
    k.down(host::vk::kControl);
    EXPECT_EQ(k.queue.shift_flags, kCtrlDown);
    k.up(host::vk::kControl);
    EXPECT_EQ(k.queue.shift_flags, 0);
}

TEST(KeyTranslation, FunctionKeysRaiseEventsAndQueueNothing)
{
    Keyboard k;
    k.down(host::vk::kF1);
    k.down(host::vk::kF12);
    translate_key_message(host::Message{1, host::MessageKind::SysKeyDown, 0x79, 0}, k.queue, k.reactions);  // F10
    EXPECT_EQ(k.events, (std::vector<int>{2, 13, 11}));
    EXPECT_TRUE(k.queue.empty());
    // Other system keys take the default handling.
    EXPECT_FALSE(translate_key_message(host::Message{1, host::MessageKind::SysKeyDown, 'X', 0}, k.queue, k.reactions));
}

// Keys typed after a function key belong to what that key leads to: its event
// comes once the keys typed before it have been read, and an emptied queue
// raises it at once.
TEST(KeyTranslation, FunctionKeyWaitsBehindTheKeysTypedBeforeIt)
{
    Keyboard k;
    k.character('a');
    k.character('b');
    k.down(host::vk::kF1 + 10);
    k.down(host::vk::kF1 + 1);
    k.character('c');
    k.down(host::vk::kF1 + 2);
    EXPECT_TRUE(k.events.empty());
    EXPECT_EQ(k.queue.pop(), 'a');
    EXPECT_TRUE(k.events.empty());
    EXPECT_EQ(k.queue.pop(), 'b');
    EXPECT_EQ(k.events, (std::vector<int>{12, 3}));
    EXPECT_EQ(k.queue.size(), 1);
    k.queue.clear();
    EXPECT_EQ(k.events, (std::vector<int>{12, 3, 4}));
    k.character('d');
    k.down(host::vk::kF1);
    k.queue.clear();
    EXPECT_EQ(k.events, (std::vector<int>{12, 3, 4, 2}));
}

TEST(KeyTranslation, CtrlCRaisesTheUserBreakAndQueuesThree)
{
    Keyboard k;
    k.character(3);
    EXPECT_EQ(k.events, std::vector<int>{1});
    EXPECT_EQ(k.drain(), std::vector<int>{3});
}

TEST(KeyQueue, HoldsAtMost255KeysAndBeepsForTheRest)
{
    Keyboard k;
    for (int i = 0; i < 256; ++i)
        k.character(static_cast<std::uint8_t>('a' + i % 26));
    EXPECT_EQ(k.queue.size(), 255);
    EXPECT_EQ(k.beeps, 1);
    const auto codes = k.drain();
    ASSERT_EQ(codes.size(), 255u);
    EXPECT_EQ(codes.front(), 'a');
    EXPECT_EQ(codes.back(), 'a' + 254 % 26);

    for (int i = 0; i < 10000; ++i)
        k.character('x');
    EXPECT_EQ(k.queue.size(), 255);
    EXPECT_EQ(k.beeps, 1 + 10000 - 255);
    // Indexes wrap around the ring correctly after many turns.
    for (int turn = 0; turn < 600; ++turn) {
        k.queue.pop();
        k.character(static_cast<std::uint8_t>(turn & 0x7F));
    }
    EXPECT_EQ(k.queue.size(), 255);
}

}  // namespace
}  // namespace rt::console
