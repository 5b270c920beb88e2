// Nanoseconds per call of VAL, HEX$ and STR$: the pure text functions, and the
// runtime operations with their string stack traffic.
#include <benchmark/benchmark.h>

#include <string_view>

#include "runtime/core/number_text.h"
#include "runtime/core/string_ops.h"
#include "tests/support/test_runtime.h"

namespace {

// A current runtime for the operations that use the string stack.
using BenchRuntime = qk_test::TestRuntime<>;

constexpr std::string_view kValTexts[] = {"&H1F00", "12", "-.5", "1E3"};

void bm_parse_number(benchmark::State& state)
{
    std::string_view text = kValTexts[state.range(0)];
    state.SetLabel(std::string(text));
    for (auto _ : state)
        benchmark::DoNotOptimize(rt::parse_number(text));
}
BENCHMARK(bm_parse_number)->DenseRange(0, 3);

void bm_val(benchmark::State& state)
{
    BenchRuntime r;
    std::string_view text = kValTexts[state.range(0)];
    state.SetLabel(std::string(text));
    for (auto _ : state) {
        rt::push_temp(text);
        benchmark::DoNotOptimize(rt::VAL());
    }
}
BENCHMARK(bm_val)->DenseRange(0, 3);

void bm_hex_text(benchmark::State& state)
{
    std::int32_t value = 0x1F00;
    for (auto _ : state) {
        benchmark::DoNotOptimize(rt::hex_text(value));
        ++value;
    }
}
BENCHMARK(bm_hex_text);

void bm_hex_s(benchmark::State& state)
{
    BenchRuntime r;
    std::int32_t value = 0x1F00;
    rt::StringDescriptor result;
    for (auto _ : state) {
        rt::HEX_S(value++);
        rt::STR_POP(result);
        rt::STR_FREE(result);
    }
}
BENCHMARK(bm_hex_s);

void bm_signed_decimal_text(benchmark::State& state)
{
    std::int16_t value = -1234;
    for (auto _ : state) {
        benchmark::DoNotOptimize(rt::signed_decimal_text(value));
        ++value;
    }
}
BENCHMARK(bm_signed_decimal_text);

void bm_str_s(benchmark::State& state)
{
    BenchRuntime r;
    std::int16_t value = -1234;
    rt::StringDescriptor result;
    for (auto _ : state) {
        rt::STR_S(value++);
        rt::STR_POP(result);
        rt::STR_FREE(result);
    }
}
BENCHMARK(bm_str_s);

}  // namespace

BENCHMARK_MAIN();
