// Statement prologue cost when nothing is due: the budget is a few
// nanoseconds per statement.
#include <benchmark/benchmark.h>

#include <limits>
#include <utility>

#include "runtime/core/frame.h"
#include "tests/support/test_runtime.h"

namespace {

// A begun program on a front end with no native events.
void run_statements(benchmark::State& state, std::uint32_t pump_interval, bool with_trap)
{
    qk_test::RuntimeSetUp set_up{.module_name = "Bench", .base_name = "bench", .begin_program = true};
    set_up.options.pump_interval = pump_interval;
    qk_test::TestRuntime<> runtime(std::move(set_up));
    if (with_trap)
        rt::ON_ERROR_GOTO([] { rt::RESUME_NEXT(); });
    int counter = 0;
    for (auto _ : state) {
        rt::stmt(__LINE__, [&] { benchmark::DoNotOptimize(++counter); });
    }
    state.SetItemsProcessed(state.iterations());
}

// The prologue alone: countdown and event check, no pump in the measured loop.
void BM_StatementPrologueOnly(benchmark::State& state)
{
    run_statements(state, std::numeric_limits<std::uint32_t>::max(), false);
}

// The programs' setting: every 11th statement looks for messages.
void BM_StatementWithPumpEvery11th(benchmark::State& state)
{
    run_statements(state, 10, false);
}

void BM_StatementWithErrorTrapSet(benchmark::State& state)
{
    run_statements(state, 10, true);
}

BENCHMARK(BM_StatementPrologueOnly);
BENCHMARK(BM_StatementWithPumpEvery11th);
BENCHMARK(BM_StatementWithErrorTrapSet);

}  // namespace

BENCHMARK_MAIN();
