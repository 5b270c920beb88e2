// Field reading speed: a watch file of short fields, and one long line.
#include <benchmark/benchmark.h>

#include <string>

#include "runtime/files/field_reader.h"
#include "runtime/files/memory_byte_source.h"

namespace {

void read_all(benchmark::State& state, const std::string& bytes)
{
    rt::MemoryByteSource source(bytes);
    for (auto _ : state) {
        std::uint64_t position = 0;
        std::size_t fields = 0;
        while (position < bytes.size()) {
            const auto field = rt::read_field(source, position, rt::FieldTarget::String);
            if (field.error != 0)
                break;
            position = field.next_position;
            ++fields;
        }
        benchmark::DoNotOptimize(fields);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void bm_watch_file_fields(benchmark::State& state)
{
    std::string file;
    for (int line = 0; line < 1000; ++line)
        file += "10,5,\"Motor speed\",0x8000,W\r\n";
    file += '\x1A';
    read_all(state, file);
}
BENCHMARK(bm_watch_file_fields);

void bm_one_long_line(benchmark::State& state)
{
    const std::string file = std::string(1 << 20, 'x') + "\r\n";
    read_all(state, file);
}
BENCHMARK(bm_one_long_line);

}  // namespace

BENCHMARK_MAIN();
