// gpsim-bridge: the PIC16F877 firmware running in gpsim, paced to real time,
// its USART on a pseudo-terminal. Prints the slave path on standard output
// once the firmware runs; ends on SIGTERM, SIGINT or SIGHUP, and always ends
// gpsim with it.
#include <signal.h>
#include <sys/signalfd.h>

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "tools/gpsim-bridge/bridge.h"
#include "tools/gpsim-bridge/bridge_options.h"
#include "host/file_descriptor.h"
#include "tools/target-sim/pseudo_terminal.h"

namespace {

void print_report(const bridge::BridgeReport& report)
{
    const double real = report.real_seconds > 0 ? report.real_seconds : 1;
    std::fprintf(stderr,
                 "gpsim-bridge: real %.3f s, simulated %.3f s (%+.3f %%), trailing at most %.1f ms when a request came, "
                 "%llu steps, "
                 "%llu restarts\n"
                 "gpsim-bridge: cpu gpsim %.3f s, bridge %.3f s, together %.1f %% of a core\n"
                 "gpsim-bridge: bytes to the PIC %llu, from the PIC %llu, reply ends %llu (%.2f ms each)\n"
                 "gpsim-bridge: requests answered %llu, %.2f ms each from the first byte in to the reply's end out\n",
                 report.real_seconds, report.simulated_seconds,
                 (report.simulated_seconds - report.real_seconds) / real * 100.0, report.worst_lag_ms,
                 static_cast<unsigned long long>(report.steps), static_cast<unsigned long long>(report.restarts),
                 report.gpsim_cpu_seconds, report.bridge_cpu_seconds,
                 (report.gpsim_cpu_seconds + report.bridge_cpu_seconds) / real * 100.0,
                 static_cast<unsigned long long>(report.bytes_in), static_cast<unsigned long long>(report.bytes_out),
                 static_cast<unsigned long long>(report.reply_ends),
                 report.reply_ends ? real * 1000.0 / static_cast<double>(report.reply_ends) : 0.0,
                 static_cast<unsigned long long>(report.exchanges),
                 report.exchanges ? report.exchange_ms_total / static_cast<double>(report.exchanges) : 0.0);
}

}  // namespace

int main(int argc, char** argv)
{
    std::string error;
    const auto options = bridge::parse_bridge_options(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "gpsim-bridge: %s\n%s", error.c_str(), bridge::kBridgeUsage);
        return 2;
    }
    if (options->help) {
        std::fputs(bridge::kBridgeUsage, stdout);
        return 0;
    }

    // The stop signals are read from a signalfd; a closed gpsim pipe is an
    // error of the write, not a signal.
    sigset_t stop_signals;
    sigemptyset(&stop_signals);
    sigaddset(&stop_signals, SIGTERM);
    sigaddset(&stop_signals, SIGINT);
    sigaddset(&stop_signals, SIGHUP);
    sigprocmask(SIG_BLOCK, &stop_signals, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
    const host::FileDescriptor signals(::signalfd(-1, &stop_signals, SFD_CLOEXEC | SFD_NONBLOCK));
    if (!signals.valid()) {
        std::perror("gpsim-bridge: signalfd");
        return 1;
    }

    try {
        bridge::Bridge bridge(*options);
        sim::SlaveLink link;
        if (!options->link_path.empty())
            link = sim::SlaveLink(options->link_path, bridge.slave_path());
        std::printf("%s\n", bridge.slave_path().c_str());
        std::fflush(stdout);
        bridge.run(signals.get());
        if (options->report)
            print_report(bridge.report());
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "gpsim-bridge: %s\n", e.what());
        return 1;
    }
}
