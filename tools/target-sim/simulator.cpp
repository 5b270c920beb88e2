#include "tools/target-sim/simulator.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>

#include "tools/target-sim/hex_text.h"
#include "tools/target-sim/reply_fault.h"

namespace sim {

namespace {
constexpr std::uint8_t kReplyEnd = '\r';
// How often a pending hang-up checks whether the client has read everything.
constexpr std::chrono::milliseconds kHangUpCheck{5};
constexpr std::chrono::milliseconds kHangUpGrace{50};
}

Simulator::Simulator(const SimOptions& options, TargetBoard& board, PseudoTerminal& terminal, SlaveLink& link,
                     RequestLog& log)
    : options_(options), board_(board), terminal_(terminal), link_(link), log_(log), byte_time_(options.byte_time())
{
    const auto start = Clock::now();
    input_free_ = output_free_ = start;
    for (const auto& change : options_.changes)
        change_due_.push_back(start + change.period);
}

void Simulator::read_master(Clock::time_point now)
{
    std::uint8_t buffer[4096];
    for (;;) {
        const ssize_t count = ::read(terminal_.master(), buffer, sizeof buffer);
        if (count <= 0)
            return;  // EAGAIN: drained; errors: nothing to take
        for (ssize_t i = 0; i < count; ++i) {
            // A byte needs one character time on the line after the previous one.
            input_free_ = std::max(input_free_, now) + byte_time_;
            std::uint8_t byte = buffer[i];
            if (options_.data_bits == 7)
                byte &= 0x7F;
            incoming_.push_back({input_free_, now, byte});
        }
    }
}

void Simulator::take_due_input(Clock::time_point now)
{
    while (!incoming_.empty() && incoming_.front().due <= now) {
        const LineByte in = incoming_.front();
        incoming_.pop_front();
        request_bytes_.push_back(static_cast<char>(in.byte));
        if (auto request = decoder_.feed(in.byte)) {
            log_.received(in.received, request_bytes_);
            request_bytes_.clear();
            ++requests_;
            if (options_.faults.unplug && requests_ == 1)
                unplug_at_ = in.due + options_.faults.unplug->after;
            // Past the hang-up point the line is as good as gone.
            const auto& limit = options_.faults.hangup_after;
            if (!limit || requests_ <= *limit)
                answer(*request, in.due);
        }
    }
}

bool Simulator::aimed_by_faults(const BoardRequest& request) const
{
    const std::string& wanted = options_.faults.faulty_address;
    if (request.digits.size() < wanted.size())
        return false;
    return std::equal(wanted.begin(), wanted.end(), request.digits.begin(), [](char a, char b) {
        return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
    });
}

void Simulator::answer(const BoardRequest& request, Clock::time_point ready)
{
    auto reply = board_.answer(request);
    if (options_.faults.silent || !reply)
        return;
    const bool aimed = aimed_by_faults(request);
    if (aimed)
        ++replies_;
    const auto& faulty = options_.faults.faulty_replies;
    const FaultOptions faults = aimed && (!faulty || replies_ <= *faulty) ? options_.faults : FaultOptions{};
    std::string text = spoil_reply(std::move(*reply), faults);
    text.push_back(static_cast<char>(kReplyEnd));
    // A burst of line noise after the reply: printable bytes that are not
    // digits, the last one a CR, so it reads as one more reply.
    for (std::size_t i = 0; i < faults.noise; ++i)
        text.push_back(i + 1 == faults.noise ? static_cast<char>(kReplyEnd) : static_cast<char>('G' + i % 20));
    if (options_.data_bits == 7)
        for (char& c : text)
            c = static_cast<char>(c & 0x7F);
    auto at = std::max(ready + faults.late, output_free_);
    for (char c : text) {
        at += byte_time_;
        outgoing_.push_back({at, {}, static_cast<std::uint8_t>(c)});
    }
    output_free_ = at;
    log_.sent(Clock::now(), text);
}

void Simulator::write_due_output(Clock::time_point now)
{
    output_blocked_ = false;
    std::string batch;
    for (const auto& out : outgoing_) {
        if (out.due > now)
            break;
        batch.push_back(static_cast<char>(out.byte));
    }
    if (batch.empty() || !terminal_.open())
        return;
    const ssize_t written = ::write(terminal_.master(), batch.data(), batch.size());
    if (written < 0) {
        output_blocked_ = errno == EAGAIN;
        return;
    }
    if (options_.log_reply_ends) {
        // One line per end byte, so a batch of several replies logs each.
        const auto ends = std::count(batch.begin(), batch.begin() + written, static_cast<char>(kReplyEnd));
        for (std::ptrdiff_t i = 0; i < ends; ++i)
            log_.reply_end(Clock::now(), kReplyEnd);
    }
    outgoing_.erase(outgoing_.begin(), outgoing_.begin() + written);
    last_write_ = now;
    output_blocked_ = static_cast<std::size_t>(written) < batch.size();
}

void Simulator::apply_due_changes(Clock::time_point now)
{
    for (std::size_t i = 0; i < change_due_.size(); ++i) {
        const auto& change = options_.changes[i];
        while (change_due_[i] <= now) {
            board_.poke(change.address, static_cast<std::uint8_t>(board_.peek(change.address) + change.step));
            change_due_[i] += change.period;
        }
    }
}

void Simulator::hang_up_when_due()
{
    const auto& limit = options_.faults.hangup_after;
    // Only once the client has taken the last reply: closing the master
    // discards what still waits on the slave side. The terminal hands written
    // bytes to the slave side a little later, hence the grace time.
    hanging_up_ = terminal_.open() && limit && requests_ >= *limit;
    if (hanging_up_ && outgoing_.empty() && Clock::now() - last_write_ >= kHangUpGrace &&
        terminal_.unread_by_client() == 0) {
        terminal_.hang_up();
        incoming_.clear();
        hanging_up_ = false;
    }
}

void Simulator::unplug_when_due(Clock::time_point now)
{
    if (unplug_at_ && now >= *unplug_at_) {
        unplug_at_.reset();
        // The link goes first: once the terminal is closed its number may be
        // handed to another program's terminal, which a client reopening the
        // link at once would otherwise reach.
        link_ = SlaveLink();  // gone with the device, as a by-id link is
        terminal_.hang_up();
        incoming_.clear();
        outgoing_.clear();
        request_bytes_.clear();
        decoder_ = RequestDecoder();
        replug_at_ = now + options_.faults.unplug->down;
        ++unplugs_;
        log_.event(now, "UNPLUG");
        if (options_.faults.unplug->decoy && !options_.link_path.empty()) {
            decoy_.emplace();
            link_ = SlaveLink(options_.link_path, decoy_->slave_path());
            log_.event(now, "DECOY " + decoy_->slave_path());
        }
    }
    if (replug_at_ && now >= *replug_at_) {
        replug_at_.reset();
        if (decoy_)
            read_decoy(now);
        link_ = SlaveLink();
        decoy_.reset();
        terminal_ = PseudoTerminal();
        if (unplugs_ < options_.faults.unplug->times)
            unplug_at_ = now + options_.faults.unplug->after;
        if (!options_.link_path.empty())
            link_ = SlaveLink(options_.link_path, terminal_.slave_path());
        input_free_ = output_free_ = now;
        log_.event(now, "REPLUG " + terminal_.slave_path());
    }
}

// Bytes a client wrote into the decoy terminal: it should never have opened it.
void Simulator::read_decoy(Clock::time_point now)
{
    std::uint8_t buffer[4096];
    for (;;) {
        const ssize_t count = ::read(decoy_->master(), buffer, sizeof buffer);
        if (count <= 0)
            return;
        log_.event(now, "DECOY-RX " + hex_bytes(buffer, static_cast<std::size_t>(count)));
    }
}

Simulator::Clock::time_point Simulator::next_wake() const
{
    auto wake = Clock::time_point::max();
    if (!incoming_.empty())
        wake = std::min(wake, incoming_.front().due);
    if (!outgoing_.empty() && !output_blocked_)
        wake = std::min(wake, outgoing_.front().due);
    for (const auto& due : change_due_)
        wake = std::min(wake, due);
    if (hanging_up_)
        wake = std::min(wake, Clock::now() + kHangUpCheck);
    if (unplug_at_)
        wake = std::min(wake, *unplug_at_);
    if (replug_at_)
        wake = std::min(wake, *replug_at_);
    return wake;
}

int Simulator::run(const std::atomic<bool>& stop_requested, const sigset_t& wait_mask)
{
    while (!stop_requested.load()) {
        const auto now = Clock::now();
        apply_due_changes(now);
        take_due_input(now);
        write_due_output(now);
        hang_up_when_due();
        unplug_when_due(Clock::now());

        pollfd fds[3];
        nfds_t count = 0;
        if (terminal_.open())
            fds[count++] = {terminal_.master(), static_cast<short>(POLLIN | (output_blocked_ ? POLLOUT : 0)), 0};
        if (decoy_)
            fds[count++] = {decoy_->master(), POLLIN, 0};
        const bool watch_stdin = options_.exit_on_stdin_eof && stdin_open_;
        if (watch_stdin)
            fds[count++] = {STDIN_FILENO, POLLIN, 0};

        const auto wake = next_wake();
        timespec timeout{};
        timespec* timeout_ptr = nullptr;
        if (wake != Clock::time_point::max()) {
            const auto wait = std::max(Clock::duration::zero(), wake - Clock::now());
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
            timeout.tv_sec = static_cast<time_t>(ns / 1'000'000'000);
            timeout.tv_nsec = static_cast<long>(ns % 1'000'000'000);
            timeout_ptr = &timeout;
        }
        const int ready = ::ppoll(fds, count, timeout_ptr, &wait_mask);
        if (ready <= 0)
            continue;  // time-out, or a signal: the loop head checks the stop flag
        const auto woke = Clock::now();
        for (nfds_t i = 0; i < count; ++i) {
            if (fds[i].fd == STDIN_FILENO && (fds[i].revents & (POLLIN | POLLHUP | POLLERR))) {
                char sink[256];
                if (::read(STDIN_FILENO, sink, sizeof sink) <= 0)
                    stdin_open_ = false;
            } else if (decoy_ && fds[i].fd == decoy_->master() && (fds[i].revents & POLLIN)) {
                read_decoy(woke);
            } else if (fds[i].fd != STDIN_FILENO && (fds[i].revents & POLLIN)) {
                read_master(woke);
            }
        }
        if (watch_stdin && !stdin_open_)
            break;
    }
    if (!decoder_.pending_digits().empty())
        log_.incomplete(Clock::now(), request_bytes_);
    return 0;
}

}  // namespace sim
