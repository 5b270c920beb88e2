// Statement prologue cost when nothing is due: the budget is a few
// nanoseconds per statement.
#include <benchmark/benchmark.h>

#include <limits>
#include <memory>

#include "host/desktop.h"
#include "host/front_end.h"
#include "runtime/core/frame.h"
#include "runtime/core/program_start.h"
#include "runtime/core/runtime.h"
#include "tests/support/silent_front_end.h"

namespace {

// A front end with no native events.
using QuietFrontEnd = qk_test::SilentFrontEnd;

void run_statements(benchmark::State& state, std::uint32_t pump_interval, bool with_trap)
{
    host::Desktop desktop(std::make_unique<QuietFrontEnd>());
    rt::ProgramOptions options;
    options.pump_interval = pump_interval;
    rt::Runtime runtime(options, desktop, "Bench", "bench");
    rt::RuntimeScope scope(runtime);
    rt::begin_program(runtime);
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
