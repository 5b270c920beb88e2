// target-sim: a simulated target board on a pseudo-terminal. Prints the path
// of the terminal's slave side on standard output once it is ready.
#include <signal.h>

#include <atomic>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "tools/target-sim/pseudo_terminal.h"
#include "tools/target-sim/request_log.h"
#include "tools/target-sim/sim_options.h"
#include "tools/target-sim/simulator.h"
#include "tools/target-sim/target_board.h"

namespace {

std::atomic<bool> stop_requested{false};

extern "C" void request_stop(int) { stop_requested.store(true); }

}  // namespace

int main(int argc, char** argv)
{
    std::string error;
    const auto options = sim::parse_sim_options(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "target-sim: %s\n%s", error.c_str(), sim::kSimUsage);
        return 2;
    }
    if (options->help) {
        std::fputs(sim::kSimUsage, stdout);
        return 0;
    }

    // The stop signals stay blocked except while the loop waits, so a signal
    // can never slip in between the flag check and the wait.
    sigset_t stop_signals, wait_mask;
    sigemptyset(&stop_signals);
    sigaddset(&stop_signals, SIGTERM);
    sigaddset(&stop_signals, SIGINT);
    sigprocmask(SIG_BLOCK, &stop_signals, &wait_mask);
    sigdelset(&wait_mask, SIGTERM);
    sigdelset(&wait_mask, SIGINT);
    struct sigaction action{};
    action.sa_handler = request_stop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);

    try {
        const auto start = sim::Simulator::Clock::now();
        sim::TargetBoard board(options->board);
        for (const auto& fill : options->fills)
            for (std::size_t i = 0; i < fill.bytes.size(); ++i)
                board.poke(fill.address + static_cast<std::uint32_t>(i), fill.bytes[i]);
        sim::PseudoTerminal terminal;
        sim::SlaveLink link;
        if (!options->link_path.empty())
            link = sim::SlaveLink(options->link_path, terminal.slave_path());
        sim::RequestLog log;
        if (!options->log_path.empty())
            log = sim::RequestLog(options->log_path, start);
        sim::Simulator simulator(*options, board, terminal, link, log);
        std::printf("%s\n", terminal.slave_path().c_str());
        std::fflush(stdout);
        return simulator.run(stop_requested, wait_mask);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "target-sim: %s\n", e.what());
        return 1;
    }
}
