// Serial channel budgets on a pseudo-terminal:
//  - silent_line_polling: 130 000 receive-count checks of a silent line, the
//    monitors' reply time-out (about 1.3 s by the poll slice).
//  - polling_cpu: CPU time spent by 10 s of continuous polling of a silent line.
//  - request_reply_rows: rows per second of a 5-byte request / 33-byte reply
//    exchange with a peer that paces its reply at 9600 bit/s, read the way the
//    monitors read (LOC, then one byte at a time, up to 130 000 checks).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <time.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "runtime/serial/serial_device.h"
#include "tests/serial/pseudo_terminal.h"

using namespace std::chrono_literals;

namespace {

constexpr int kReplyPolls = 130000;
constexpr auto kByteTime = std::chrono::nanoseconds(1'000'000'000LL * 10 / 9600);  // 10 bits a byte

struct BenchChannel {
    serial_test::PseudoTerminal pty;
    std::shared_ptr<rt::SerialConfig> config = std::make_shared<rt::SerialConfig>(rt::ProgramOptions{});
    std::unique_ptr<rt::SerialDevice> device;

    BenchChannel()
    {
        config->ports.assign(1, pty.slave_path());
        device = std::make_unique<rt::SerialDevice>(0, config);
        if (device->open(6, "S8N1N8,RB8192").error != 0)
            throw std::runtime_error("open failed");
    }
};

double cpu_seconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void silent_line_polling(benchmark::State& state)
{
    BenchChannel channel;
    for (auto _ : state) {
        std::int32_t total = 0;
        for (int i = 0; i < kReplyPolls; ++i)
            total += channel.device->receive_count();
        benchmark::DoNotOptimize(total);
    }
    state.counters["checks"] = kReplyPolls;
}
BENCHMARK(silent_line_polling)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void polling_cpu(benchmark::State& state)
{
    BenchChannel channel;
    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        const double cpu_start = cpu_seconds();
        const auto start = std::chrono::steady_clock::now();
        std::int64_t checks = 0;
        while (std::chrono::steady_clock::now() - start < 10s) {
            benchmark::DoNotOptimize(channel.device->receive_count());
            ++checks;
        }
        cpu += cpu_seconds() - cpu_start;
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.counters["checks"] = double(checks);
    }
    state.counters["cpu_percent"] = 100.0 * cpu / wall;
}
BENCHMARK(polling_cpu)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

// The peer: takes 5-byte requests; after the request's own line time answers
// 32 hex digits and CR, one byte every byte time.
void respond(serial_test::PseudoTerminal& pty, std::atomic<bool>& stop)
{
    const std::string reply = "0123456789ABCDEF0123456789ABCDEF\r";
    std::size_t pending = 0;
    while (!stop.load()) {
        std::string got = pty.receive(5 - pending, 50ms);
        pending += got.size();
        if (pending < 5)
            continue;
        pending = 0;
        auto due = std::chrono::steady_clock::now() + 5 * kByteTime;
        for (char byte : reply) {
            std::this_thread::sleep_until(due);
            pty.send(std::string_view(&byte, 1));
            due += kByteTime;
        }
    }
}

void request_reply_rows(benchmark::State& state)
{
    BenchChannel channel;
    std::atomic<bool> stop{false};
    std::jthread peer([&] { respond(channel.pty, stop); });
    rt::SerialDevice& d = *channel.device;
    const std::uint8_t request[5] = {'0', '1', '0', '0', 0x10};
    std::int64_t rows = 0;
    std::int64_t failures = 0;
    const double cpu_start = cpu_seconds();
    for (auto _ : state) {
        std::uint16_t error = 0;
        d.write_bytes(request, sizeof request, error);
        std::string reply;
        int polls = 0;
        bool done = false;
        while (!done && polls < kReplyPolls) {
            if (d.receive_count() == 0) {
                ++polls;
                continue;
            }
            std::uint8_t byte = 0;
            if (!d.read_byte(byte, error))
                break;
            if (byte < '0')
                done = true;
            else
                reply.push_back(static_cast<char>(byte));
        }
        if (done && reply.size() == 32)
            ++rows;
        else
            ++failures;
    }
    const double cpu = cpu_seconds() - cpu_start;
    stop = true;
    state.counters["rows_per_second"] = benchmark::Counter(double(rows), benchmark::Counter::kIsRate);
    state.counters["failures"] = double(failures);
    state.counters["cpu_seconds"] = cpu;
}
BENCHMARK(request_reply_rows)->Unit(benchmark::kMillisecond)->Iterations(100)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
