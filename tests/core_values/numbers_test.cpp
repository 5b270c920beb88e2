// Checked number conversions, loop steps, the loader and storer, and powers.
#include <gtest/gtest.h>

#include <cfenv>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>

#include "runtime/core/number_conversions.h"
#include "runtime/core/string_descriptor.h"
#include "tests/core_values/runtime_fixture.h"

namespace {

using core_values_test::Raised;
using core_values_test::raised_by;
using namespace rt;

// Values the compiler cannot fold, so the floating-point flags are raised at run time.
double opaque(double v)
{
    volatile double x = v;
    return x;
}

class NumbersTest : public core_values_test::RuntimeTest {
protected:
    void SetUp() override { std::feclearexcept(FE_ALL_EXCEPT); }
};

TEST_F(NumbersTest, FpuCheckReportsFlagsByPrecedenceAndClearsThem)
{
    EXPECT_EQ(raised_by([] { FPU_CHECK(); }), Raised{});
    volatile double r = opaque(0.0) / opaque(0.0);
    EXPECT_EQ(raised_by([] { FPU_CHECK(); }), (Raised{5, 0xE001}));
    EXPECT_EQ(raised_by([] { FPU_CHECK(); }), Raised{});  // cleared
    r = opaque(1.0) / opaque(0.0);
    EXPECT_EQ(raised_by([] { FPU_CHECK(); }), (Raised{11, 0xE002}));
    r = opaque(DBL_MAX) * opaque(2.0);
    EXPECT_EQ(raised_by([] { FPU_CHECK(); }), (Raised{6, 0xE003}));
    // Invalid wins over division by zero, which wins over overflow.
    r = opaque(DBL_MAX) * opaque(2.0);
    r = opaque(1.0) / opaque(0.0);
    EXPECT_EQ(raised_by([] { FPU_CHECK(); }).number, 11);
    r = opaque(1.0) / opaque(0.0);
    r = std::sqrt(opaque(-1.0));
    EXPECT_EQ(raised_by([] { FPU_CHECK(); }).number, 5);
    (void)r;
    EXPECT_EQ(raised_by([] { DIV_ZERO_CHECK(0); }), (Raised{11, 0xE101}));
    EXPECT_EQ(raised_by([] { DIV_ZERO_CHECK(-1); }), Raised{});
}

TEST_F(NumbersTest, CintRoundsHalfAwayFromZero)
{
    EXPECT_EQ(CINT(2.5), 3);
    EXPECT_EQ(CINT(-2.5), -3);
    EXPECT_EQ(CINT(2.4999), 2);
    EXPECT_EQ(CINT(0.49999999999999994), 0);
    EXPECT_EQ(CINT(32767.4), 32767);
    EXPECT_EQ(CINT(-32768.4), -32768);
    EXPECT_EQ(raised_by([] { CINT(32767.5); }), (Raised{6, 0xE301}));
    EXPECT_EQ(raised_by([] { CINT(-32768.5); }).number, 6);
    EXPECT_EQ(raised_by([] { CINT(std::nan("")); }).number, 6);
    EXPECT_EQ(CLNG(-2.5), -3);
    EXPECT_EQ(CLNG(2147483647.4), 2147483647);
    EXPECT_EQ(CLNG(-2147483648.4), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(raised_by([] { CLNG(2147483647.5); }), (Raised{6, 0xE401}));
    EXPECT_EQ(raised_by([] { CLNG(-2147483648.5); }).number, 6);
}

TEST_F(NumbersTest, CbyteRangeIsZeroTo255AfterRounding)
{
    EXPECT_EQ(CBYTE(-0.4), 0);
    EXPECT_EQ(CBYTE(254.5), 255);
    EXPECT_EQ(raised_by([] { CBYTE(-0.6); }), (Raised{6, 0xE501}));
    EXPECT_EQ(raised_by([] { CBYTE(255.5); }).number, 6);
}

TEST_F(NumbersTest, StoringARealRoundsTiesToEven)
{
    EXPECT_EQ(REAL_TO_I16_CHECK(2.5), 2);
    EXPECT_EQ(REAL_TO_I16_CHECK(3.5), 4);
    EXPECT_EQ(REAL_TO_I16_CHECK(-2.5), -2);
    EXPECT_EQ(REAL_TO_I16_CHECK(32766.5), 32766);
    EXPECT_EQ(raised_by([] { REAL_TO_I16_CHECK(32767.5); }), (Raised{6, 0xE801}));
    EXPECT_EQ(raised_by([] { REAL_TO_I16_CHECK(-32769.0); }).number, 6);
    EXPECT_EQ(REAL_TO_I32_CHECK(0.5), 0);
    EXPECT_EQ(REAL_TO_I32_CHECK(-2147483648.0), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(raised_by([] { REAL_TO_I32_CHECK(2147483647.5); }), (Raised{6, 0xE901}));
    EXPECT_EQ(REAL_TO_I32(1.5), 2);
    EXPECT_EQ(REAL_TO_I32(1e12), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(REAL_TO_I32(std::nan("")), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(I32_TO_I16_CHECK(-32768), -32768);
    EXPECT_EQ(raised_by([] { I32_TO_I16_CHECK(32768); }), (Raised{6, 0xEA01}));
}

TEST_F(NumbersTest, SingleAndDoubleOverflow)
{
    EXPECT_EQ(CSNG(3.4e38), 3.4e38f);
    EXPECT_EQ(CSNG(0x1.fffffefffffffp127), FLT_MAX);  // rounds down to the largest single
    EXPECT_EQ(raised_by([] { CSNG(0x1.ffffffp127); }), (Raised{6, 0xE601}));
    EXPECT_EQ(raised_by([] { CSNG(-1e39); }).number, 6);
    EXPECT_EQ(CDBL(-1e300), -1e300);
    EXPECT_EQ(raised_by([] { CDBL(HUGE_VAL); }), (Raised{6, 0xE701}));
}

TEST_F(NumbersTest, LoopCounterOverflowKeepsTheValue)
{
    std::int16_t i = 32766;
    const std::int16_t one = 1, minus_one = -1;
    I16_ADD_ASSIGN(i, one);
    EXPECT_EQ(i, 32767);
    EXPECT_EQ(raised_by([&] { I16_ADD_ASSIGN(i, one); }), (Raised{6, 0xE201}));
    EXPECT_EQ(i, 32767);
    std::int16_t j = -32768;
    EXPECT_EQ(raised_by([&] { I16_ADD_ASSIGN(j, minus_one); }).number, 6);
    EXPECT_EQ(j, -32768);

    std::int32_t k = std::numeric_limits<std::int32_t>::max();
    const std::int32_t step = 1;
    EXPECT_EQ(raised_by([&] { I32_ADD_ASSIGN(k, step); }), (Raised{6, 0xEE01}));
    EXPECT_EQ(k, std::numeric_limits<std::int32_t>::max());
    const std::int32_t back = -5;
    I32_ADD_ASSIGN(k, back);
    EXPECT_EQ(k, std::numeric_limits<std::int32_t>::max() - 5);

    std::uint8_t b = 250;
    const std::uint8_t five = 5, six = 6;
    BYTE_ADD_ASSIGN(b, five);
    EXPECT_EQ(b, 255);
    b = 250;
    EXPECT_EQ(raised_by([&] { BYTE_ADD_ASSIGN(b, six); }), (Raised{6, 0xEF01}));
    EXPECT_EQ(b, 250);
}

TEST_F(NumbersTest, LoadAndStoreEveryNumericType)
{
    alignas(8) unsigned char cell[8] = {};
    const struct {
        std::uint8_t type;
        double in, out;
    } cases[] = {
        {type_code::kI16, 2.5, 2.0},    {type_code::kI16, -32768.0, -32768.0}, {type_code::kI32, 3.5, 4.0},
        {type_code::kSingle, 0.1, static_cast<double>(0.1f)}, {type_code::kDouble, 0.1, 0.1},
        {type_code::kByte, 254.5, 254.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        ASSERT_TRUE(STORE_NUMBER(c.type, cell, c.in));
        EXPECT_EQ(LOAD_NUMBER(c.type, cell), c.out);
    }
    // A failed store leaves the variable as it was.
    ASSERT_TRUE(STORE_NUMBER(type_code::kI16, cell, 7));
    EXPECT_FALSE(STORE_NUMBER(type_code::kI16, cell, 32767.5));
    EXPECT_FALSE(STORE_NUMBER(type_code::kByte, cell, -1));
    EXPECT_FALSE(STORE_NUMBER(type_code::kSingle, cell, 1e39));
    EXPECT_FALSE(STORE_NUMBER(type_code::kDouble, cell, HUGE_VAL));
    EXPECT_FALSE(STORE_NUMBER(type_code::kI32, cell, 3e9));
    EXPECT_FALSE(STORE_NUMBER(type_code::kString, cell, 1));
    EXPECT_EQ(LOAD_NUMBER(type_code::kI16, cell), 7.0);
    EXPECT_EQ(raised_by([&] { LOAD_NUMBER(type_code::kString, cell); }), (Raised{5, 0xDE01}));
}

TEST_F(NumbersTest, PowerCases)
{
    EXPECT_EQ(POWER(0, 0), 1.0);
    EXPECT_EQ(POWER(0, -1), 0.0);
    EXPECT_EQ(POWER(-2, 3), -8.0);
    EXPECT_EQ(POWER(-2, 2), 4.0);
    EXPECT_EQ(POWER(-2, 0), 1.0);
    EXPECT_EQ(POWER(2, 10), 1024.0);
    EXPECT_EQ(POWER(10, 2), 100.0);
    EXPECT_EQ(POWER(10, 15), 1e15);
    EXPECT_EQ(POWER(2, -1), 0.5);
    EXPECT_EQ(POWER(16, 0.5), 4.0);
    EXPECT_EQ(raised_by([] { FPU_CHECK(); }), Raised{});

    const double no_real_result = POWER(-2, 0.5);
    EXPECT_TRUE(std::isinf(no_real_result));
    EXPECT_EQ(raised_by([] { FPU_CHECK(); }), (Raised{6, 0xE003}));
    POWER(opaque(10), opaque(400));
    EXPECT_EQ(raised_by([] { FPU_CHECK(); }).number, 6);
}

}  // namespace
