// Dimensioning, element addresses, implicit dimensioning and the registry.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

#include "runtime/core/arrays.h"
#include "runtime/core/basic_string.h"
#include "runtime/core/frame.h"
#include "tests/core_values/runtime_fixture.h"

namespace {

using core_values_test::Raised;
using core_values_test::raised_by;
using namespace rt;

class ArraysTest : public core_values_test::RuntimeTest {};

TEST_F(ArraysTest, UsedBeforeDimHasElevenElementsPerDimension)
{
    ArrayVariable<std::int16_t> a;
    a(10) = 5;
    EXPECT_TRUE(a.dimensioned());
    EXPECT_EQ(a.count(0), 11u);
    EXPECT_EQ(a(10), 5);
    EXPECT_EQ(a(0), 0);
    EXPECT_EQ(raised_by([&] { a(11); }), (Raised{9, 0xD103}));
    EXPECT_EQ(raised_by([&] { a(-1); }).number, 9);
    EXPECT_EQ(raised_by([&] { a.dim(20); }), (Raised{10, 0xD002}));

    ArrayVariable<double, 3> cube;
    cube(10, 10, 10) = 1.5;
    EXPECT_EQ(cube.count(2), 11u);
}

TEST_F(ArraysTest, FirstSubscriptVariesFastest)
{
    ArrayVariable<std::int32_t, 2> m;
    m.dim(2, 3);  // counts 3 and 4
    EXPECT_EQ(m.header().bounds->dimensions, 2);
    EXPECT_EQ(m.count(0), 3u);
    EXPECT_EQ(m.count(1), 4u);
    auto* base = reinterpret_cast<std::int32_t*>(m.header().data);
    EXPECT_EQ(&m(0, 0), base);
    EXPECT_EQ(&m(1, 0), base + 1);
    EXPECT_EQ(&m(0, 1), base + 3);
    EXPECT_EQ(&m(2, 3), base + 11);
    EXPECT_EQ(raised_by([&] { m(3, 0); }).number, 9);
    EXPECT_EQ(raised_by([&] { m(0, 4); }).number, 9);
}

TEST_F(ArraysTest, BoundsAndSizeLimits)
{
    ArrayVariable<std::uint8_t> a;
    EXPECT_EQ(raised_by([&] { a.dim(2147483647u); }), (Raised{5, 0xD004}));
    EXPECT_FALSE(a.dimensioned());
    ArrayVariable<std::int16_t> b;
    EXPECT_EQ(raised_by([&] { b.dim(2147483646u); }), (Raised{9, 0xD005}));  // 4 GB of elements
    ArrayVariable<double, 2> c;
    EXPECT_EQ(raised_by([&] { c.dim(65535, 65535); }).number, 9);
    EXPECT_FALSE(arrays().registered(c.header()));
    EXPECT_EQ(arrays().size(), 0u);

    // A parameter block whose subscript count differs from the array's.
    ArrayVariable<std::int16_t, 2> d;
    d.dim(1, 1);
    const std::uint32_t one[1] = {0};
    ArrayParams p{array_flags(1, type_code::kI16), 2, &d.header(), d.header().bounds, one};
    EXPECT_EQ(raised_by([&] { ARRAY_ELEM(p); }), (Raised{9, 0xD102}));
}

TEST_F(ArraysTest, RefusedMemoryRaisesSevenAndLeavesTheArrayUndimensioned)
{
    ArrayVariable<std::int32_t> a;
    arrays().fail_next_allocation();
    EXPECT_EQ(raised_by([&] { a.dim(100); }), (Raised{7, 0xD006}));
    EXPECT_FALSE(a.dimensioned());
    EXPECT_EQ(arrays().size(), 0u);
    a.dim(100);
    EXPECT_EQ(a(100), 0);
}

TEST_F(ArraysTest, StringElementsStartEmptyAndAreReleasedWithTheArray)
{
    StrVar keep;
    keep.set("keep");
    {
        ArrayVariable<StringDescriptor> names;
        names.dim(4);
        EXPECT_EQ(names(4).kind, StringKind::Variable);
        EXPECT_EQ(names(4).length, 0u);
        assign(names(1), lit("one"));
        assign(names(2), concat(names(1), lit("+"), keep));
        EXPECT_EQ(names(2).view(), "one+keep");
        EXPECT_TRUE(equal(names(1), lit("one")));
        EXPECT_EQ(heap().live_blocks(), 3u);
        EXPECT_TRUE(arrays().registered(names.header()));
    }
    EXPECT_EQ(arrays().size(), 0u);
    EXPECT_EQ(heap().live_blocks(), 1u);
}

TEST_F(ArraysTest, ElementsFollowCompaction)
{
    ArrayVariable<StringDescriptor> names;
    for (int i = 0; i <= 10; ++i)
        assign(names(i), lit("element"));
    for (int i = 0; i <= 10; i += 2)
        STR_CLEAR(names(i));
    heap().compact();
    for (int i = 1; i <= 10; i += 2)
        EXPECT_EQ(names(i).view(), "element");
}

TEST_F(ArraysTest, FixedLengthStringElementsAreSpacesAndRefuseAssignment)
{
    constexpr std::uint32_t kDeclared = 8;
    constexpr std::uint32_t kSize = sizeof(StringDescriptor) + kDeclared;
    ArrayHeader header;
    BoundsBlock bounds;
    const std::uint32_t upper[1] = {2};
    DIM({array_flags(1, type_code::kFixedLengthString), kSize, &header, &bounds, upper});
    const std::uint32_t sub[1] = {2};
    auto& element = *reinterpret_cast<StringDescriptor*>(
        ARRAY_ELEM({array_flags(1, type_code::kFixedLengthString), kSize, &header, &bounds, sub}));
    EXPECT_EQ(element.kind, StringKind::FixedLength);
    EXPECT_EQ(element.view(), "        ");
    EXPECT_EQ(raised_by([&] { assign(element, lit("x")); }).number, 13);
    // An element size that would misplace the descriptors is refused.
    ArrayHeader odd;
    EXPECT_EQ(raised_by([&] {
                  DIM({array_flags(1, type_code::kFixedLengthString), kSize + 1, &odd, &bounds, upper});
              }),
              (Raised{5, 0xD003}));
    arrays().release(header);
    EXPECT_EQ(header.data, nullptr);
}

TEST_F(ArraysTest, NoDimensioningInsideAnEventSubroutine)
{
    ArrayVariable<std::int16_t> a, b;
    Raised explicit_dim, implicit_dim;
    bool ran = false;
    ON_KEY_GOSUB(5, [&] {
        ran = true;
        explicit_dim = raised_by([&] { a.dim(3); });
        implicit_dim = raised_by([&] { b(1) = 1; });
    });
    KEY_CTRL(5, 1);
    RAISE_EVENT(kEventKey1 + 4);
    STMT();  // runs the F5 subroutine
    ASSERT_TRUE(ran);
    EXPECT_EQ(explicit_dim, (Raised{76, 0xD001}));
    EXPECT_EQ(implicit_dim, (Raised{76, 0xD101}));
    EXPECT_FALSE(a.dimensioned());
    EXPECT_FALSE(b.dimensioned());
    a.dim(3);  // back at main level
    EXPECT_TRUE(a.dimensioned());
}

TEST_F(ArraysTest, RegistryReleasesByFrameAndAtTermination)
{
    ArrayVariable<std::int16_t> a, b;
    ArrayVariable<StringDescriptor> s;
    a.dim(3);
    b.dim(3);
    assign(s(0), lit("text"));
    EXPECT_EQ(arrays().size(), 3u);
    arrays().release_frame(1);  // nothing was dimensioned in frame 1
    EXPECT_EQ(arrays().size(), 3u);
    arrays().release_frame(0);
    EXPECT_EQ(arrays().size(), 0u);
    EXPECT_FALSE(a.dimensioned());
    EXPECT_EQ(heap().live_blocks(), 0u);
    a.dim(5);  // may be dimensioned again
    EXPECT_EQ(a.count(0), 6u);
    arrays().release_all();
    EXPECT_FALSE(a.dimensioned());
}

}  // namespace
