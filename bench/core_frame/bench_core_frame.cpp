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
void bm_statement_prologue_only(benchmark::State& state)
{
    run_statements(state, std::numeric_limits<std::uint32_t>::max(), false);
}

// The programs' setting: every 11th statement looks for messages.
void bm_statement_with_pump_every11th(benchmark::State& state)
{
    run_statements(state, 10, false);
}

void bm_statement_with_error_trap_set(benchmark::State& state)
{
    run_statements(state, 10, true);
}

BENCHMARK(bm_statement_prologue_only);
BENCHMARK(bm_statement_with_pump_every11th);
BENCHMARK(bm_statement_with_error_trap_set);

}  // namespace

BENCHMARK_MAIN();
