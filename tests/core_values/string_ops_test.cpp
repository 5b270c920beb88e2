// String operations through the stack, and the typed facade application code uses.
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>

#include "runtime/core/basic_string.h"
#include "runtime/core/string_ops.h"
#include "tests/core_values/runtime_fixture.h"

namespace {

using core_values_test::Raised;
using core_values_test::raised_by;
using namespace rt;

class StringOpsTest : public core_values_test::RuntimeTest {
protected:
    // Every live block is owned by one of `owners` (no block is orphaned).
    void expect_only_owned_by(std::initializer_list<const StringDescriptor*> owners)
    {
        std::size_t live = 0;
        for (const HeapBlockInfo& b : heap().walk()) {
            if (!b.owner)
                continue;
            ++live;
            EXPECT_NE(std::find(owners.begin(), owners.end(), b.owner), owners.end())
                << "block of " << b.length << " bytes owned by an unknown descriptor";
        }
        EXPECT_LE(live, owners.size());
    }
    // Fills the heap so that the next allocation must compact, and grow
    // unless the blocks released since are large enough.
    void fill_heap(StrVar& filler)
    {
        push_temp("x");  // make sure the heap exists
        StringDescriptor t;
        STR_POP(t);
        STR_FREE(t);
        filler.clear();
        heap().compact();
        filler.set(std::string(heap().free_bytes() - StringHeap::kHeaderSize - 8, 'f'));
        ASSERT_EQ(heap().free_bytes(), 8u);
    }
};

TEST_F(StringOpsTest, ConcatKeepsSourceOrder)
{
    StrVar a, b, c;
    b.set("left ");
    c.set(" right");
    a = concat(b, lit("mid"), c);
    EXPECT_EQ(a.view(), "left mid right");
    a = concat(a, a);  // operands read when pushed
    EXPECT_EQ(a.view(), "left mid rightleft mid right");
    a = concat(lit(""), lit(""));
    EXPECT_EQ(a.length(), 0u);
    EXPECT_EQ(a.descriptor().text, nullptr);
    EXPECT_EQ(stack().depth(), 0);
    expect_only_owned_by({&b.descriptor(), &c.descriptor()});
}

// Operands are pushed when the finished expression runs, in source order,
// and a function written against the facade composes like the built-ins.
TEST_F(StringOpsTest, ExpressionsPushInSourceOrderAndCompose)
{
    std::string order;
    auto logged = [&order](const char* text) {
        return [&order, text] {
            order += text;
            push_temp(text);
        };
    };
    auto twice = [](auto&& operand) {
        return [s = hold(std::forward<decltype(operand)>(operand))] {
            s();
            s();
            STR_CONCAT();
        };
    };
    StrVar a, b;
    b.set("b");
    a = concat(logged("1"), twice(concat(b, logged("2"))), logged("3"));
    EXPECT_EQ(order, "1223");
    EXPECT_EQ(a.view(), "1b2b23");
    order.clear();
    EXPECT_TRUE(less(logged("L"), logged("R")));
    EXPECT_EQ(order, "RL");  // right operand first
    EXPECT_EQ(stack().depth(), 0);
    expect_only_owned_by({&a.descriptor(), &b.descriptor()});
}

TEST_F(StringOpsTest, RawConcatPopsBThenA)
{
    push_temp("a");
    push_temp("b");
    STR_CONCAT();
    StringDescriptor r;
    STR_POP(r);
    EXPECT_EQ(r.view(), "ab");
    EXPECT_EQ(r.kind, StringKind::Temporary);
    STR_FREE(r);
    EXPECT_EQ(heap().live_blocks(), 0u);
}

TEST_F(StringOpsTest, ComparisonOrder)
{
    StrVar empty, other_empty;
    EXPECT_TRUE(equal(empty, other_empty));
    EXPECT_TRUE(less(empty, lit("A")));
    EXPECT_TRUE(greater(lit("AB"), lit("A")));
    EXPECT_TRUE(less(lit("AB"), lit("B")));
    EXPECT_TRUE(greater(lit("a"), lit("Z")));
    EXPECT_TRUE(greater(lit("\x81\x40"), lit("z")));  // bytes compare unsigned
    EXPECT_TRUE(equal(lit("same"), concat(lit("sa"), lit("me"))));
    EXPECT_TRUE(less_equal(lit("A"), lit("A")));
    EXPECT_FALSE(not_equal(lit("A"), lit("A")));
    EXPECT_TRUE(greater_equal(lit("B"), lit("A")));
    EXPECT_EQ(truth(equal(lit("X"), lit("X"))), -1);
    EXPECT_EQ(truth(equal(lit("X"), lit("Y"))), 0);
    EXPECT_EQ(stack().depth(), 0);
    EXPECT_EQ(heap().live_blocks(), 0u);
}

TEST_F(StringOpsTest, RawComparePopsLeftFirst)
{
    // Application code pushes the right operand first.
    push_temp("B");  // right
    push_temp("A");  // left
    EXPECT_EQ(STR_COMPARE(), Comparison::Below);
    push_temp("A");
    push_temp("B");
    EXPECT_EQ(STR_COMPARE(), Comparison::Above);
    EXPECT_EQ(heap().live_blocks(), 0u);
}

// The copy of a variable assigned to itself must be made from its text as it
// was, although the copy's allocation compacts the heap (moving the variable
// down over a released block) or grows it (moving the whole heap).
TEST_F(StringOpsTest, SelfAssignmentKeepsTheValueThroughCompactionAndGrowth)
{
    const std::function<void(StrVar&)> forms[] = {
        [](StrVar& a) { STR_ASSIGN_VAR(a.descriptor(), a.descriptor()); },
        [](StrVar& a) {
            STR_PUSH_VAR(a.descriptor());
            STR_POP_ASSIGN(a.descriptor());
        },
        [](StrVar& a) { a = a; },
    };
    for (std::size_t size : {std::size_t{7}, std::size_t{900}}) {
        for (std::size_t form = 0; form < std::size(forms); ++form) {
            SCOPED_TRACE(testing::Message() << "size " << size << " form " << form);
            const std::string text(size, static_cast<char>('a' + form));
            StrVar before, a, filler;
            before.set("released before the copy");
            a.set(text);
            fill_heap(filler);
            const std::size_t units = heap().units();
            before.clear();
            forms[form](a);
            EXPECT_EQ(a.view(), text);
            EXPECT_EQ(heap().units() > units, size > 40);  // the long copy needed growth too
            EXPECT_EQ(filler.view(), std::string(filler.length(), 'f'));
            expect_only_owned_by({&a.descriptor(), &filler.descriptor()});
        }
    }
}

TEST_F(StringOpsTest, PopAssignAdoptsATemporaryWithoutCopying)
{
    StrVar a;
    a.set("old");
    push_temp("new value");
    const std::uint8_t* text = stack().top()->text;
    STR_POP_ASSIGN(a.descriptor());
    EXPECT_EQ(a.descriptor().text, text);
    EXPECT_EQ(a.view(), "new value");
    EXPECT_EQ(a.descriptor().kind, StringKind::Variable);
    expect_only_owned_by({&a.descriptor()});
    STR_POP_ASSIGN(a.descriptor());  // empty stack: nothing happens
    EXPECT_EQ(a.view(), "new value");
}

TEST_F(StringOpsTest, AssignmentsCopyAndClear)
{
    StrVar a, b;
    const StrLit hello = lit("hello");
    STR_ASSIGN(a.descriptor(), hello.descriptor());
    EXPECT_EQ(a.view(), "hello");
    b = a;
    EXPECT_NE(b.descriptor().text, a.descriptor().text);
    STR_CLEAR(a.descriptor());
    EXPECT_EQ(a.length(), 0u);
    EXPECT_EQ(a.descriptor().kind, StringKind::Variable);
    EXPECT_EQ(b.view(), "hello");
    b = lit("");
    EXPECT_EQ(b.descriptor().text, nullptr);
    EXPECT_EQ(heap().live_blocks(), 0u);
}

TEST_F(StringOpsTest, FixedSizeDestinationsAreRefused)
{
    std::string storage = "    ";
    StringDescriptor fixed{StringKind::FixedLength, 4, reinterpret_cast<std::uint8_t*>(storage.data())};
    StrVar v;
    v.set("value");
    EXPECT_EQ(raised_by([&] { STR_ASSIGN(fixed, v.descriptor()); }), (Raised{13, 0xC701}));
    EXPECT_EQ(raised_by([&] { STR_ASSIGN_VAR(fixed, v.descriptor()); }), (Raised{13, 0xC801}));
    push_temp("popped and released");
    EXPECT_EQ(raised_by([&] { STR_POP_ASSIGN(fixed); }), (Raised{13, 0xC901}));
    fixed.kind = StringKind::Fixed;
    EXPECT_EQ(raised_by([&] { assign(fixed, v); }).number, 13);
    EXPECT_EQ(storage, "    ");
    expect_only_owned_by({&v.descriptor()});
}

TEST_F(StringOpsTest, PushKindsAndFree)
{
    StrVar v;
    v.set("var");
    const StrLit c = lit("const");
    STR_PUSH_CONST(c.descriptor());  // a temporary copy of the text
    EXPECT_EQ(stack().top()->kind, StringKind::Temporary);
    EXPECT_NE(stack().top()->text, c.descriptor().text);
    STR_PUSH_VAR(c.descriptor());  // no copy of the text
    EXPECT_EQ(stack().top()->text, c.descriptor().text);
    STR_PUSH_EMPTY();
    EXPECT_EQ(stack().top()->kind, StringKind::Temporary);
    EXPECT_EQ(stack().top()->length, 0u);
    STR_MAKE_TEMP(0, nullptr);
    EXPECT_EQ(stack().top()->text, nullptr);
    EXPECT_EQ(LEN(), 0);
    EXPECT_EQ(LEN(), 0);
    EXPECT_EQ(LEN(), 5);
    EXPECT_EQ(LEN(), 5);
    EXPECT_EQ(len(concat(v, lit("12"))), 5);

    StringDescriptor constant = c.descriptor();
    STR_FREE(constant);  // constants are never freed
    EXPECT_EQ(constant.view(), "const");
    STR_FREE(v.descriptor());
    EXPECT_EQ(v.length(), 0u);
    EXPECT_EQ(heap().live_blocks(), 0u);

    StringDescriptor untouched{StringKind::Variable, 0, nullptr};
    STR_POP(untouched);  // empty stack
    EXPECT_EQ(untouched.text, nullptr);
}

TEST_F(StringOpsTest, FieldStringsArePushedByValue)
{
    std::string record = "FIELD";
    StringDescriptor field{StringKind::Field, 5, reinterpret_cast<std::uint8_t*>(record.data())};
    StrVar a;
    STR_PUSH_VAR(field);
    EXPECT_NE(stack().top(), &field);
    field.length = 0;  // the pushed copy keeps its own length
    STR_POP_ASSIGN(a.descriptor());
    EXPECT_EQ(a.view(), "FIELD");
    EXPECT_NE(a.descriptor().text, reinterpret_cast<std::uint8_t*>(record.data()));
}

// A chain of variables and literals reads its parts after making the result's
// block, so parts that compaction moved are read where they are now.
TEST_F(StringOpsTest, ChainOfVariablesIsOneBlockReadAfterCompaction)
{
    StrVar gone, b, c, filler, a;
    gone.set(std::string(1000, 'g'));
    b.set("left");
    c.set("right");
    filler.set(std::string(heap().free_bytes() - StringHeap::kHeaderSize - 8, 'f'));
    gone.clear();  // b, c and the filler slide down at the next compaction
    const std::uint8_t* old_b = b.descriptor().text;
    a = concat(b, lit("-"), c);
    EXPECT_EQ(a.view(), "left-right");
    EXPECT_NE(b.descriptor().text, old_b);
    EXPECT_EQ(heap().units(), 1u);  // compacted, not grown
    EXPECT_EQ(heap().live_blocks(), 4u);
    EXPECT_EQ(stack().depth(), 0);

    // The same chain pairwise (one operand is an expression) gives the same.
    StrVar pairwise;
    pairwise = concat(b, lit("-"), [&c] { STR_PUSH_VAR(c.descriptor()); });
    EXPECT_EQ(pairwise.view(), "left-right");
    expect_only_owned_by({&b.descriptor(), &c.descriptor(), &filler.descriptor(), &a.descriptor(),
                          &pairwise.descriptor()});
}

// The left operand of a pairwise chain grows in place when it is the last
// block; a right operand lying in that block is never overwritten.
TEST_F(StringOpsTest, PairwiseConcatGrowsTheTrailingTemporary)
{
    const bool moves = StringHeap::kCompactsEveryTime;
    StrVar c, a;
    c.set("cd");
    push_temp("ab");
    const std::uint8_t* text = stack().top()->text;
    STR_PUSH_VAR(c.descriptor());
    STR_CONCAT();
    EXPECT_EQ(stack().top()->view(), "abcd");
    if (!moves) {
        EXPECT_EQ(stack().top()->text, text);
    }

    // A descriptor that does not own its text but points into the growing
    // block (only while nothing moves: in the build that moves the heap at
    // every allocation it would point at freed memory).
    if (!moves) {
        StringDescriptor inside{StringKind::Constant, 2, stack().top()->text};  // "ab"
        STR_PUSH_VAR(inside);
    } else {
        push_temp("ab");
    }
    STR_CONCAT();
    EXPECT_EQ(stack().top()->view(), "abcdab");

    text = stack().top()->text;
    push_temp("");
    STR_CONCAT();
    EXPECT_EQ(stack().top()->text, text);  // an empty right operand changes nothing

    STR_POP_ASSIGN(a.descriptor());
    EXPECT_EQ(a.view(), "abcdab");
    EXPECT_EQ(stack().depth(), 0);
    expect_only_owned_by({&a.descriptor(), &c.descriptor()});
    EXPECT_EQ(heap().live_blocks(), 2u);
}

TEST_F(StringOpsTest, ChainBeyondTheLengthLimitRaisesFifteenAndMakesNothing)
{
    std::string record = "x";
    StringDescriptor half{StringKind::Field, 0x40000000u, reinterpret_cast<std::uint8_t*>(record.data())};
    StrVar a;
    a.set("kept");
    EXPECT_EQ(raised_by([&] { a = concat(half, lit("x"), half); }), (Raised{15, 0xC601}));
    EXPECT_EQ(a.view(), "kept");
    EXPECT_EQ(stack().depth(), 0);
    expect_only_owned_by({&a.descriptor()});
}

TEST_F(StringOpsTest, ConcatBeyondTheLengthLimitRaisesFifteenAndReleasesOperands)
{
    std::string record = "x";
    // A field string's length is trusted; this one claims the largest length.
    StringDescriptor huge{StringKind::Field, static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max()),
                          reinterpret_cast<std::uint8_t*>(record.data())};
    StrVar keep;
    keep.set("kept");
    push_temp("temporary operand");
    STR_PUSH_VAR(huge);
    EXPECT_EQ(raised_by([] { STR_CONCAT(); }), (Raised{15, 0xC601}));
    expect_only_owned_by({&keep.descriptor()});
    EXPECT_EQ(heap().live_blocks(), 1u);
}

TEST_F(StringOpsTest, NoBlockIsOrphanedAfterErrors)
{
    StrVar keep, filler;
    keep.set("kept");
    // Temporaries left on the stack by an expression that fails half way.
    for (int i = 0; i < 85; ++i)
        push_temp("t");
    EXPECT_EQ(raised_by([] { push_temp("86th"); }).number, 16);
    expect_only_owned_by({&keep.descriptor()});
    EXPECT_EQ(stack().depth(), 0);

    // Growth refused while a concatenation makes its result.
    push_temp("a");
    push_temp(std::string(300, 'b'));
    fill_heap(filler);
    heap().fail_next_allocation();
    EXPECT_EQ(raised_by([] { STR_CONCAT(); }).number, 82);
    expect_only_owned_by({&keep.descriptor(), &filler.descriptor()});
    EXPECT_EQ(stack().depth(), 0);

    // Refused while a variable is assigned: the old value stays.
    heap().fail_next_allocation();
    EXPECT_EQ(raised_by([&] { keep.set(std::string(200000, 'k')); }).number, 82);
    EXPECT_EQ(keep.view(), "kept");
    expect_only_owned_by({&keep.descriptor(), &filler.descriptor()});
}

TEST_F(StringOpsTest, PoppedStringFollowsCompaction)
{
    StrVar filler;
    push_temp("operand");
    fill_heap(filler);
    PoppedString operand;
    push_temp(std::string(100, 'r'));  // compacts or grows the heap
    EXPECT_EQ(operand.view(), "operand");
    EXPECT_TRUE(operand.is_temporary());
    operand.release();
    EXPECT_EQ(operand.view(), "");
    StringDescriptor r;
    STR_POP(r);
    STR_FREE(r);
    expect_only_owned_by({&filler.descriptor()});
}

TEST_F(StringOpsTest, VariablesAreEmptiedWhenTheHeapIsReleased)
{
    auto v = std::make_unique<StrVar>();
    v->set("lives past termination");
    heap().release_all();
    EXPECT_EQ(v->length(), 0u);
    v.reset();  // releases nothing
    StrVar w;
    w.set("new heap");
    EXPECT_EQ(w.view(), "new heap");
}

}  // namespace
