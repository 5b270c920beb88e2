// Making, assigning and releasing short temporaries: the string heap and
// stack against the same loop on std::string.
#include <benchmark/benchmark.h>

#include <string>

#include "runtime/core/basic_string.h"
#include "tests/support/test_runtime.h"

namespace {

// A current runtime: the string heap and stack the loops use.
using BenchRuntime = qk_test::TestRuntime<>;

// a = b + "-" + c, as application code writes it.
void bm_concat_assign_string_heap(benchmark::State& state)
{
    BenchRuntime r;
    rt::StrVar a, b, c;
    b.set("1A2B");
    c.set("3C4D");
    for (auto _ : state) {
        a = rt::concat(b, rt::lit("-"), c);
        benchmark::DoNotOptimize(a.descriptor().text);
    }
    state.counters["heap_units"] = static_cast<double>(r.runtime().heap().units());
}
BENCHMARK(bm_concat_assign_string_heap);

void bm_concat_assign_std_string(benchmark::State& state)
{
    std::string a;
    std::string b = "1A2B";
    std::string c = "3C4D";
    for (auto _ : state) {
        a = b + "-" + c;
        benchmark::DoNotOptimize(a.data());
    }
}
BENCHMARK(bm_concat_assign_std_string);

// The same chain with its last operand given as an expression, so that it is
// pushed and concatenated pair by pair on the string stack.
void bm_concat_assign_pairwise_string_heap(benchmark::State& state)
{
    BenchRuntime r;
    rt::StrVar a, b, c;
    b.set("1A2B");
    c.set("3C4D");
    for (auto _ : state) {
        a = rt::concat(b, rt::lit("-"), [&c] { rt::STR_PUSH_VAR(c.descriptor()); });
        benchmark::DoNotOptimize(a.descriptor().text);
    }
}
BENCHMARK(bm_concat_assign_pairwise_string_heap);

// A temporary made, assigned to a variable, and the old value released.
void bm_make_assign_release_string_heap(benchmark::State& state)
{
    BenchRuntime r;
    rt::StrVar a;
    std::string_view text = "0123456789AB";
    benchmark::DoNotOptimize(text);
    for (auto _ : state) {
        a.set(text);
        benchmark::DoNotOptimize(a.descriptor().text);
    }
}
BENCHMARK(bm_make_assign_release_string_heap);

void bm_make_assign_release_std_string(benchmark::State& state)
{
    std::string a;
    std::string_view text = "0123456789AB";
    benchmark::DoNotOptimize(text);
    for (auto _ : state) {
        a = std::string(text);
        benchmark::DoNotOptimize(a.data());
    }
}
BENCHMARK(bm_make_assign_release_std_string);

// The same loops with texts longer than std::string keeps in place (its
// small-string buffer holds 15 bytes), so that std::string allocates too.
constexpr std::string_view kLongText = "8000.1.H 0123456789ABCDEF0123456789ABCDEF";

void bm_make_assign_release_long_string_heap(benchmark::State& state)
{
    BenchRuntime r;
    rt::StrVar a;
    std::string_view text = kLongText;
    benchmark::DoNotOptimize(text);
    for (auto _ : state) {
        a.set(text);
        benchmark::DoNotOptimize(a.descriptor().text);
    }
}
BENCHMARK(bm_make_assign_release_long_string_heap);

void bm_make_assign_release_long_std_string(benchmark::State& state)
{
    std::string a;
    std::string_view text = kLongText;
    benchmark::DoNotOptimize(text);
    for (auto _ : state) {
        a = std::string(text);
        benchmark::DoNotOptimize(a.data());
    }
}
BENCHMARK(bm_make_assign_release_long_std_string);

void bm_concat_assign_long_string_heap(benchmark::State& state)
{
    BenchRuntime r;
    rt::StrVar a, b, c;
    b.set(kLongText);
    c.set(kLongText);
    for (auto _ : state) {
        a = rt::concat(b, rt::lit("-"), c);
        benchmark::DoNotOptimize(a.descriptor().text);
    }
}
BENCHMARK(bm_concat_assign_long_string_heap);

void bm_concat_assign_long_std_string(benchmark::State& state)
{
    std::string a;
    std::string b(kLongText);
    std::string c(kLongText);
    for (auto _ : state) {
        a = b + "-" + c;
        benchmark::DoNotOptimize(a.data());
    }
}
BENCHMARK(bm_concat_assign_long_std_string);

// Comparing a variable with a literal: pushes only, no copy of text.
void bm_compare_with_literal_string_heap(benchmark::State& state)
{
    BenchRuntime r;
    rt::StrVar a;
    a.set("Error");
    for (auto _ : state)
        benchmark::DoNotOptimize(rt::equal(a, rt::lit("Error")));
}
BENCHMARK(bm_compare_with_literal_string_heap);

}  // namespace

BENCHMARK_MAIN();
