// The string heap and the string stack as records: blocks, owners,
// compaction, growth, failures, and the stack's slots.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "runtime/core/frame.h"
#include "runtime/core/string_ops.h"
#include "tests/core_values/runtime_fixture.h"

namespace {

using core_values_test::Raised;
using core_values_test::raised_by;
using rt::StringDescriptor;
using rt::StringHeap;
using rt::StringKind;

// A descriptor that releases its block when it goes out of scope, so that no
// block outlives its owner (the heap would write to the dead owner later).
struct Owned : StringDescriptor {
    ~Owned() { StringHeap::release(*this); }
};

class StringHeapTest : public core_values_test::RuntimeTest {
protected:
    void make(StringDescriptor& owner, const std::string& text)
    {
        heap().allocate(owner, StringKind::Variable, static_cast<std::uint32_t>(text.size()),
                        reinterpret_cast<const std::uint8_t*>(text.data()));
    }
    // Every live block's owner points at that block with the block's length.
    void expect_invariant()
    {
        for (const rt::HeapBlockInfo& b : heap().walk()) {
            if (!b.owner)
                continue;
            EXPECT_EQ(b.owner->text, b.text);
            EXPECT_EQ(b.owner->length, b.length);
        }
    }
};

TEST_F(StringHeapTest, BlocksAppendWithOwnerFrameAndLength)
{
    Owned a, b;
    make(a, "alpha");
    make(b, "be");
    auto blocks = heap().walk();
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0].owner, &a);
    EXPECT_EQ(blocks[0].frame, 0u);
    EXPECT_EQ(blocks[1].owner, &b);
    EXPECT_EQ(a.view(), "alpha");
    EXPECT_EQ(b.view(), "be");
    EXPECT_EQ(a.kind, StringKind::Variable);
    EXPECT_EQ(heap().units(), 1u);
    EXPECT_EQ(heap().used(), StringHeap::block_size(5) + StringHeap::block_size(2));
    expect_invariant();
}

TEST_F(StringHeapTest, BlocksRecordTheFrameTheyWereMadeIn)
{
    Owned outer, inner, after;
    make(outer, "main");
    std::uint32_t frame = 0;
    rt::call_procedure([&] {
        frame = rt::current_frame_number();
        make(inner, "procedure");
    });
    make(after, "main again");
    auto blocks = heap().walk();
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_NE(frame, 0u);
    EXPECT_EQ(blocks[0].frame, 0u);
    EXPECT_EQ(blocks[1].frame, frame);
    EXPECT_EQ(blocks[2].frame, 0u);
}

// Only the owner of the last block lengthens it, only into room the heap
// has, and never over its own source.
TEST_F(StringHeapTest, ExtendInPlaceOnlyTheLastBlockWithinTheRoom)
{
    if (StringHeap::kCompactsEveryTime)
        GTEST_SKIP() << "the heap moves at every allocation in this build";
    Owned a, b;
    make(a, "ab");
    make(b, "cd");
    const auto ef = reinterpret_cast<const std::uint8_t*>("ef");
    EXPECT_FALSE(heap().extend_in_place(a, 2, ef));  // not the last block
    StringDescriptor copy = b;
    EXPECT_FALSE(heap().extend_in_place(copy, 2, ef));  // not the owner

    const std::uint8_t* text = b.text;
    const std::size_t used = heap().used();
    ASSERT_TRUE(heap().extend_in_place(b, 2, ef));
    EXPECT_EQ(b.view(), "cdef");
    EXPECT_EQ(b.text, text);
    EXPECT_EQ(heap().used(), used + StringHeap::block_size(4) - StringHeap::block_size(2));
    ASSERT_TRUE(heap().extend_in_place(b, 8, reinterpret_cast<const std::uint8_t*>("12345678")));
    EXPECT_EQ(b.view(), "cdef12345678");
    EXPECT_EQ(heap().walk().back().length, 12u);
    expect_invariant();

    // Its own text as the source would be overwritten while copied.
    EXPECT_FALSE(heap().extend_in_place(b, 4, b.text));
    // More than the heap's room (the block's rounding gives at most 7 bytes).
    const std::string big(heap().free_bytes() + 8, 'x');
    EXPECT_FALSE(heap().extend_in_place(b, static_cast<std::uint32_t>(big.size()),
                                        reinterpret_cast<const std::uint8_t*>(big.data())));
    EXPECT_EQ(b.view(), "cdef12345678");
    expect_invariant();
}

TEST_F(StringHeapTest, EmptyStringMakesNoBlock)
{
    StringDescriptor a{StringKind::Constant, 3, nullptr};
    heap().allocate(a, StringKind::Temporary, 0);
    EXPECT_EQ(a.kind, StringKind::Temporary);
    EXPECT_EQ(a.length, 0u);
    EXPECT_EQ(a.text, nullptr);
    EXPECT_TRUE(heap().walk().empty());
}

TEST_F(StringHeapTest, ReleaseOnlyByTheOwnerAndCompactionSlidesLiveBlocks)
{
    Owned a, b, c;
    make(a, "first");
    make(b, "second");
    make(c, "third");
    StringDescriptor copy = b;
    StringHeap::release(copy);  // a copy owns nothing
    EXPECT_EQ(heap().live_blocks(), 3u);

    StringHeap::release(b);
    EXPECT_EQ(b.text, nullptr);
    EXPECT_EQ(heap().live_blocks(), 2u);
    const auto* old_c = c.text;
    heap().compact();
    EXPECT_NE(c.text, old_c);
    EXPECT_EQ(a.view(), "first");
    EXPECT_EQ(c.view(), "third");
    EXPECT_EQ(heap().used(), StringHeap::block_size(5) + StringHeap::block_size(5));
    expect_invariant();

    StringHeap::release(a);
    StringHeap::release(c);
    heap().compact();
    EXPECT_EQ(heap().used(), 0u);
    EXPECT_TRUE(heap().walk().empty());
}

TEST_F(StringHeapTest, SizeInWholeUnitsGrowingAndShrinking)
{
    // Created with just enough units for the first string.
    Owned big;
    make(big, std::string(100000, 'b'));
    EXPECT_EQ(heap().units(), 2u);

    // Growing keeps every owner pointing at its own text.
    std::vector<Owned> many(40);
    for (std::size_t i = 0; i < many.size(); ++i)
        make(many[i], std::string(1000, static_cast<char>('A' + i % 26)));
    Owned more;
    make(more, std::string(70000, 'm'));
    EXPECT_EQ(heap().units(), 3u + 1u);
    for (std::size_t i = 0; i < many.size(); ++i)
        EXPECT_EQ(many[i].view(), std::string(1000, static_cast<char>('A' + i % 26)));
    EXPECT_EQ(big.view(), std::string(100000, 'b'));
    expect_invariant();

    // Compaction gives back the units that are no longer needed.
    StringHeap::release(big);
    StringHeap::release(more);
    heap().compact();
    EXPECT_EQ(heap().units(), 1u);
    EXPECT_EQ(many[39].view(), std::string(1000, 'N'));
    expect_invariant();
    for (auto& d : many)
        StringHeap::release(d);
}

// The source of a new block may lie in the heap: in a block released just
// before (compaction overwrites it) or in a live one (growth moves it).
TEST_F(StringHeapTest, SourceInTheHeapSurvivesCompactionAndGrowth)
{
    for (bool release_source : {true, false}) {
        for (std::size_t size : {std::size_t{40}, std::size_t{3000}}) {
            SCOPED_TRACE(testing::Message() << "size " << size << (release_source ? " released" : " live"));
            const std::string text(size, 'q');
            Owned filler, source, copy;
            make(source, text);
            make(filler, std::string(heap().free_bytes() - StringHeap::kHeaderSize - 8, 'f'));
            const std::size_t units = heap().units();
            const std::uint8_t* from = source.text;
            if (release_source)
                StringHeap::release(source);
            heap().allocate(copy, StringKind::Variable, static_cast<std::uint32_t>(size), from);
            EXPECT_EQ(copy.view(), text);
            if (!release_source) {
                EXPECT_EQ(heap().units(), units + 1);
                EXPECT_EQ(source.view(), text);
            }
            EXPECT_EQ(filler.view(), std::string(filler.length, 'f'));
            expect_invariant();
            StringHeap::release(filler);
            StringHeap::release(source);
            StringHeap::release(copy);
            heap().compact();
        }
    }
}

TEST_F(StringHeapTest, RefusedMemoryRaisesAndLeavesTheHeapIntact)
{
    Owned a, b;
    heap().fail_next_allocation();
    EXPECT_EQ(raised_by([&] { make(a, "x"); }), (Raised{7, 0xC502}));
    EXPECT_EQ(a.text, nullptr);

    make(a, "kept");
    make(b, std::string(heap().free_bytes() - StringHeap::kHeaderSize, 'b'));  // heap now full
    Owned c;
    heap().fail_next_allocation();
    const Raised growth = raised_by([&] { make(c, "does not fit"); });
    EXPECT_EQ(growth.number, 82);
#ifndef QK_HEAP_STRESS
    EXPECT_EQ(growth.site, 0xC503);
#endif
    EXPECT_EQ(c.text, nullptr);
    EXPECT_EQ(heap().live_blocks(), 2u);
    EXPECT_EQ(a.view(), "kept");
    expect_invariant();

    // A long source inside the heap is saved in a block of its own first.
    const std::uint8_t* source = b.text;
    heap().fail_next_allocation();
    EXPECT_EQ(raised_by([&] { heap().allocate(c, StringKind::Variable, 2000, source); }), (Raised{7, 0xC505}));

    // Shrinking after compaction can fail as well.
    StringHeap::release(b);
    make(b, std::string(200000, 'z'));
    StringHeap::release(b);
    heap().fail_next_allocation();
    EXPECT_EQ(raised_by([&] { heap().compact(); }).number, 82);
    EXPECT_EQ(a.view(), "kept");
    expect_invariant();
}

TEST_F(StringHeapTest, ReleaseAllEmptiesOwnersThatOutliveTheHeap)
{
    Owned a, b;
    make(a, "one");
    make(b, "two");
    heap().release_all();
    EXPECT_EQ(a.text, nullptr);
    EXPECT_EQ(a.length, 0u);
    EXPECT_EQ(heap().units(), 0u);
    StringHeap::release(a);  // nothing left to touch
    make(a, "again");        // the heap is created anew
    EXPECT_EQ(a.view(), "again");
}

TEST_F(StringHeapTest, ReleaseOwnedInARangeOfLocals)
{
    Owned locals[3];
    Owned outside;
    for (auto& d : locals)
        make(d, "local");
    make(outside, "outside");
    heap().release_owned_in(&locals[0], &locals[3]);
    EXPECT_EQ(heap().live_blocks(), 1u);
    EXPECT_EQ(locals[1].text, nullptr);
    EXPECT_EQ(outside.view(), "outside");
}

// The string stack's slots.

class StringStackTest : public StringHeapTest {};

TEST_F(StringStackTest, EightySixthPushRaisesSixteenAndMakesNoBlock)
{
    Owned v;
    make(v, "v");
    for (int i = 0; i < 85; ++i)
        stack().push(v);
    EXPECT_EQ(stack().depth(), 85);
    EXPECT_EQ(raised_by([&] { stack().push(v); }), (Raised{16, 0xC501}));
    // The raise released and discarded the stack.
    EXPECT_EQ(stack().depth(), 0);

    for (int i = 0; i < 85; ++i)
        stack().push(v);
    const std::size_t blocks = heap().walk().size();
    EXPECT_EQ(raised_by([&] { rt::push_temp("more"); }), (Raised{16, 0xC501}));
    EXPECT_EQ(heap().walk().size(), blocks);  // checked before allocating
}

TEST_F(StringStackTest, VariablesByReferenceTemporariesOwnedBySlot)
{
    Owned v;
    make(v, "var");
    stack().push(v);
    rt::push_temp("temp");
    const StringDescriptor* top = stack().top();
    ASSERT_NE(top, nullptr);
    EXPECT_TRUE(stack().is_slot_copy(top));
    EXPECT_TRUE(StringHeap::owns_block(*top));

    Owned popped;
    EXPECT_TRUE(stack().pop(popped));
    EXPECT_EQ(popped.view(), "temp");
    EXPECT_TRUE(StringHeap::owns_block(popped));  // moved to the destination

    const StringDescriptor* referenced = nullptr;
    Owned copy;
    EXPECT_TRUE(stack().pop(copy, &referenced));
    EXPECT_EQ(referenced, &v);
    EXPECT_FALSE(StringHeap::owns_block(copy));
    EXPECT_FALSE(stack().pop(copy));
    StringHeap::release(popped);
}

TEST_F(StringStackTest, ReleaseAllFreesTemporariesAndDiscardsTheStack)
{
    Owned v;
    make(v, "survives");
    stack().push(v);
    rt::push_temp("gone 1");
    rt::push_temp(std::string(5000, 'g'));
    EXPECT_EQ(heap().live_blocks(), 3u);
    stack().release_all();
    EXPECT_FALSE(stack().exists());
    EXPECT_EQ(heap().live_blocks(), 1u);
    EXPECT_EQ(heap().walk().back().owner == &v || heap().walk().front().owner == &v, true);
    rt::push_temp("again");
    EXPECT_TRUE(stack().exists());
    EXPECT_EQ(stack().depth(), 1);
}

}  // namespace

namespace {

// Scratch room for intermediate text.
TEST(ScratchBufferTest, LeasesGiveRoomBackAndNestedLeasesDoNotShareIt)
{
    rt::ScratchBuffer scratch;
    {
        auto small = scratch.acquire(512);
        EXPECT_TRUE(scratch.leased());
        EXPECT_FALSE(scratch.holds_large_block());
        std::memset(small.data(), 'a', small.size());
        auto nested = scratch.acquire(16);  // must not overwrite the first lease's text
        std::memset(nested.data(), 'b', nested.size());
        EXPECT_EQ(small.data()[0], 'a');
        EXPECT_NE(nested.data(), small.data());
    }
    EXPECT_FALSE(scratch.leased());
    {
        auto large = scratch.acquire(513);
        EXPECT_TRUE(scratch.holds_large_block());
        large.data()[512] = 'z';
    }
    EXPECT_FALSE(scratch.holds_large_block());  // released with its lease
    EXPECT_FALSE(scratch.leased());
}

}  // namespace
