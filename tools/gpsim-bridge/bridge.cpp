#include "tools/gpsim-bridge/bridge.h"

#include <poll.h>
#include <sys/resource.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "tools/gpsim-bridge/startup_script.h"

namespace bridge {

namespace {

// How far the simulation may trail real time while the line is quiet.
constexpr auto kQuietTrail = std::chrono::milliseconds(50);
// How far it runs ahead while a reply is due (a 16-byte read's reply takes
// 34 ms of line time).
constexpr auto kReplyLead = std::chrono::milliseconds(60);
// A stall longer than this (the bridge stopped, the machine overloaded)
// restarts pacing rather than racing the simulation to catch up.
constexpr auto kLongestCatchUp = std::chrono::milliseconds(500);
// Loading gpsim and its first simulated cycles.
constexpr auto kStartLimit = std::chrono::seconds(30);
// A step of some milliseconds takes gpsim well under one.
constexpr auto kStepLimit = std::chrono::seconds(10);
// Cycles run before the bridge reports ready: the firmware has set up its USART.
constexpr std::uint64_t kSetUpCycles = 2000;
// Client bytes given to the usart module ahead of the line: more wait in the
// bridge, and beyond kInboxLimit in the terminal, so a client writing faster
// than the line carries is held back as by a real line.
constexpr std::uint64_t kLineBacklog = 64;
constexpr std::size_t kInboxLimit = 4096;

// Processor time of process `pid` in seconds (user and system), 0 when unknown.
double process_cpu_seconds(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    const std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const std::size_t name_end = text.rfind(')');
    if (name_end == std::string::npos || name_end + 2 > text.size())
        return 0;
    std::istringstream fields(text.substr(name_end + 2));
    std::string field;
    double ticks = 0;
    // Fields 3.. follow the name; utime and stime are fields 14 and 15.
    for (int index = 3; index <= 15 && fields >> field; ++index)
        if (index >= 14)
            ticks += std::stod(field);
    return ticks / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

double own_cpu_seconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The firmware image must be readable before gpsim is asked to load it: gpsim
// reports a missing file and goes on without a processor.
const BridgeOptions& checked(const BridgeOptions& options)
{
    if (!std::ifstream(options.hex_path))
        throw std::runtime_error("cannot read the firmware image " + options.hex_path);
    return options;
}

}  // namespace

Bridge::Bridge(const BridgeOptions& options)
    : options_(checked(options)), cycles_per_second_(options.clock_mhz * 1e6 / 4.0),
      byte_cycles_(static_cast<std::uint64_t>(cycles_per_second_ * 10.0 / options.baud)),
      console_(options.gpsim, {"-i"}), pacer_(cycles_per_second_, Clock::now(), 0)
{
    console_.send(startup_script(options_.hex_path, options_.clock_mhz, options_.baud));
    console_.run_to(kSetUpCycles, kStartLimit);
    if (console_.cycle() < kSetUpCycles)
        throw std::runtime_error("the firmware did not start in gpsim (is " + options_.hex_path +
                                 " a PIC16F877 image?)");
    started_ = Clock::now();
    start_cycle_ = console_.cycle();
    pacer_.restart(started_, start_cycle_);
    gpsim_cpu_at_start_ = process_cpu_seconds(console_.pid());
    bridge_cpu_at_start_ = own_cpu_seconds();
}

void Bridge::run_to(std::uint64_t cycle)
{
    if (cycle <= console_.cycle())
        return;
    GpsimConsole::RunResult result = console_.run_to(cycle, kStepLimit);
    ++report_.steps;
    std::string bytes = std::move(result.bytes);
    if (result.hit_breakpoint) {
        // The PIC has put a reply's CR in its transmit register: it leaves
        // the line after the character before it, two character times at most.
        const std::uint64_t written = console_.cycle();
        std::uint64_t next = written + byte_cycles_ * 21 / 10;
        while (bytes.find('\r') == std::string::npos && next <= written + 4 * byte_cycles_) {
            bytes += console_.run_to(next, kStepLimit).bytes;
            ++report_.steps;
            next = console_.cycle() + byte_cycles_ / 2;
        }
    }
    if (bytes.find('\r') != std::string::npos && console_.cycle() >= input_end_cycle_)
        reply_due_ = false;
    if (!bytes.empty()) {
        report_.bytes_out += bytes.size();
        report_.reply_ends += static_cast<std::uint64_t>(std::count(bytes.begin(), bytes.end(), '\r'));
        releases_.push_back({pacer_.due(console_.cycle()), std::move(bytes)});
    }
}

void Bridge::give_client_bytes_to_pic()
{
    const std::uint64_t now = console_.cycle();
    const std::uint64_t on_the_way = input_end_cycle_ > now ? (input_end_cycle_ - now + byte_cycles_ - 1) / byte_cycles_ : 0;
    if (on_the_way >= kLineBacklog)
        return;
    const std::size_t count = std::min<std::size_t>(inbox_.size(), kLineBacklog - on_the_way);
    std::string commands;
    for (std::size_t i = 0; i < count; ++i)
        commands += send_byte_command(static_cast<unsigned char>(inbox_[i]));
    console_.send(commands);
    // The usart module sends them one after the other from the current cycle
    // (or after those still on their way).
    input_end_cycle_ = std::max(input_end_cycle_, now) + count * byte_cycles_;
    report_.bytes_in += count;
    inbox_.erase(0, count);
    reply_due_ = true;
}

void Bridge::advance(Clock::time_point now)
{
    const auto due = pacer_.due(console_.cycle());
    if (now - due > kLongestCatchUp) {
        pacer_.restart(now, console_.cycle());
        ++report_.restarts;
    }
    if (!inbox_.empty()) {
        // The bytes reach the PIC at the simulated moment they arrived.
        if (now > pacer_.due(console_.cycle()))
            report_.worst_lag_ms = std::max(
                report_.worst_lag_ms,
                std::chrono::duration<double, std::milli>(now - pacer_.due(console_.cycle())).count());
        run_to(pacer_.target(now));
        give_client_bytes_to_pic();
    }
    if (reply_due_) {
        if (now >= pacer_.due(console_.cycle())) {
            const std::uint64_t before = console_.cycle();
            const std::size_t releases = releases_.size();
            run_to(pacer_.target(now + kReplyLead));
            // Nothing came although the bytes given have all arrived: no
            // reply to this request.
            if (releases_.size() == releases && before >= input_end_cycle_)
                reply_due_ = false;
        }
    } else if (now - pacer_.due(console_.cycle()) >= kQuietTrail) {
        run_to(pacer_.target(now));
    }
}

void Bridge::read_client()
{
    char buffer[256];
    while (inbox_.size() < kInboxLimit) {
        const ssize_t count = ::read(terminal_.master(), buffer, sizeof buffer);
        if (count > 0) {
            if (!exchange_start_)
                exchange_start_ = Clock::now();
            inbox_.append(buffer, static_cast<std::size_t>(count));
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        return;
    }
}

void Bridge::write_due_output(Clock::time_point now)
{
    while (!releases_.empty() && releases_.front().at <= now) {
        const std::string& bytes = releases_.front().bytes;
        if (exchange_start_ && bytes.find('\r') != std::string::npos) {
            ++report_.exchanges;
            report_.exchange_ms_total += std::chrono::duration<double, std::milli>(now - *exchange_start_).count();
            exchange_start_.reset();
        }
        unwritten_ += bytes;
        releases_.pop_front();
    }
    while (!unwritten_.empty()) {
        const ssize_t written = ::write(terminal_.master(), unwritten_.data(), unwritten_.size());
        if (written > 0) {
            unwritten_.erase(0, static_cast<std::size_t>(written));
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        return;  // the terminal is full: the rest waits for the client to read
    }
}

bool Bridge::wait(int signal_fd)
{
    const auto now = Clock::now();
    auto wake = pacer_.due(console_.cycle()) + (reply_due_ ? Clock::duration::zero() : Clock::duration(kQuietTrail));
    if (!releases_.empty())
        wake = std::min(wake, releases_.front().at);
    // To the microsecond: a reply is passed on when its last byte is due.
    const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(std::max(wake - now, Clock::duration::zero()));
    const timespec timeout{static_cast<time_t>(left.count() / 1000000000), static_cast<long>(left.count() % 1000000000)};
    const short reading = inbox_.size() < kInboxLimit ? POLLIN : 0;
    pollfd waits[2] = {{terminal_.master(), static_cast<short>(reading | (unwritten_.empty() ? 0 : POLLOUT)), 0},
                       {signal_fd, POLLIN, 0}};
    if (::ppoll(waits, 2, &timeout, nullptr) < 0) {
        if (errno == EINTR)
            return true;
        throw std::runtime_error("poll failed");
    }
    if (waits[1].revents & POLLIN) {
        signalfd_siginfo info{};
        (void)!::read(signal_fd, &info, sizeof info);
        return false;
    }
    if (waits[0].revents & POLLIN)
        read_client();
    return true;
}

void Bridge::run(int signal_fd)
{
    for (;;) {
        const auto now = Clock::now();
        advance(now);
        write_due_output(Clock::now());
        if (!wait(signal_fd))
            return;
        write_due_output(Clock::now());
    }
}

BridgeReport Bridge::report() const
{
    BridgeReport report = report_;
    report.real_seconds = std::chrono::duration<double>(Clock::now() - started_).count();
    report.simulated_seconds = static_cast<double>(console_.cycle() - start_cycle_) / cycles_per_second_;
    report.gpsim_cpu_seconds = process_cpu_seconds(console_.pid()) - gpsim_cpu_at_start_;
    report.bridge_cpu_seconds = own_cpu_seconds() - bridge_cpu_at_start_;
    return report;
}

}  // namespace bridge
