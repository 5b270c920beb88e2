// Printing whole 24 x 80 screens on the headless front end, through the
// print statement and through the console writer alone.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "host/desktop.h"
#include "host/headless_front_end.h"
#include "runtime/console/console_installation.h"
#include "runtime/console/console_records.h"
#include "runtime/console/console_writer.h"
#include "runtime/console/print_statements.h"
#include "runtime/console/screen_statements.h"
#include "runtime/core/string_ops.h"
#include "runtime/files/device_table.h"
#include "tests/support/test_runtime.h"

namespace {

std::string screen_line(int row)
{
    std::string line(80, ' ');
    for (int i = 0; i < 80; ++i)
        line[static_cast<std::size_t>(i)] = static_cast<char>('!' + (row * 7 + i) % 90);
    return line;
}

void bm_print_full_screen(benchmark::State& state)
{
    qk_test::TestRuntime<host::HeadlessFrontEnd> test_runtime(
        {.module_name = "Bench", .base_name = "BENCH", .begin_program = true});
    rt::Runtime& runtime = test_runtime.runtime();
    runtime.install(std::make_unique<rt::DeviceTable>(runtime.options()));
    rt::console::install_console(runtime);
    // Full rows wrap by themselves; the last row stops one short of scrolling.
    std::string lines[24];
    for (int row = 0; row < 24; ++row)
        lines[row] = screen_line(row).substr(0, row == 23 ? 79 : 80);
    for (auto _ : state) {
        rt::LOCATE(0, 0, 0, 0, rt::kLocateColumn | rt::kLocateRow);
        for (const std::string& line : lines) {
            rt::push_temp(line);
            rt::PRINT_STR(2);
        }
    }
    state.counters["screens_per_second"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(bm_print_full_screen)->Iterations(1000)->Unit(benchmark::kMicrosecond);

void bm_writer_full_screen(benchmark::State& state)
{
    host::Desktop desktop(std::make_unique<host::HeadlessFrontEnd>());
    rt::console::ConsoleWindow window(desktop, "BENCH", {});
    std::string text;
    for (int row = 0; row < 24; ++row)
        text += screen_line(row).substr(0, row == 23 ? 79 : 80);
    for (auto _ : state) {
        window.screen().state().cursor_column = 0;
        window.screen().state().cursor_row = 0;
        rt::console::ConsoleWriter(window.screen()).write(text);
    }
    state.counters["screens_per_second"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(bm_writer_full_screen)->Iterations(1000)->Unit(benchmark::kMicrosecond);

// Line feeds on the last row: every line scrolls the whole screen.
void bm_scrolling_lines(benchmark::State& state)
{
    host::Desktop desktop(std::make_unique<host::HeadlessFrontEnd>());
    rt::console::ConsoleWindow window(desktop, "BENCH", {});
    window.screen().state().cursor_row = 23;
    const std::string line = screen_line(5).substr(0, 60) + "\r\n";
    for (auto _ : state)
        rt::console::ConsoleWriter(window.screen()).write(line);
    state.counters["lines_per_second"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(bm_scrolling_lines)->Iterations(1000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
