#include "host/serial_port.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <exception>
#include <utility>

#include "host/serial_custom_speed.h"
#include "host/session_terminal.h"

namespace host {

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point deadline_after(std::uint32_t ms)
{
    return Clock::now() + std::chrono::milliseconds(ms);
}

// Milliseconds from now to `deadline`, rounded up, for poll().
int poll_timeout(Clock::time_point deadline)
{
    auto left = deadline - Clock::now();
    if (left <= Clock::duration::zero())
        return 0;
    auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return ms > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(ms);
}

bool is_hang_up_error(int error)
{
    return error == EIO || error == ENXIO || error == ENODEV || error == EBADF || error == EPIPE ||
           error == ECONNRESET;
}

}  // namespace

std::optional<SerialPort> SerialPort::open(const std::string& path, int& error)
{
    SerialPort port(path);
    error = port.open_descriptor();
    if (error != 0)
        return std::nullopt;
    return port;
}

SerialPort SerialPort::disconnected(const std::string& path)
{
    SerialPort port(path);
    port.hung_up_ = true;
    return port;
}

int SerialPort::open_descriptor()
{
    if (network_address_)
        return open_network(kNetworkConnectWait);
    if (is_network_port_path(path_))
        return network_error::kBadAddress;
    fd_ = FileDescriptor(::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd_.valid())
        return errno;
    const int fd = fd_.get();
    if (!isatty(fd)) {
        fd_.reset();
        return ENOTTY;
    }
    // A session's terminal (a stale link to a number another program took)
    // is never the board's line: refused before a byte is written into it.
    if (process_controlled_by(fd)) {
        fd_.reset();
        return kSessionTerminalError;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        fd_.reset();
        return error;
    }
    // The waiting descriptor, opened before TIOCEXCL refuses further opens.
    // Without it waits poll the port instead.
    wait_fd_ = FileDescriptor(::open(path_.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (wait_fd_.valid()) {
        const int flags = fcntl(wait_fd_.get(), F_GETFL);
        if (flags < 0 || fcntl(wait_fd_.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
            wait_fd_.reset();
    }
    // Raw at once, so that reads behave alike whether or not settings are written later.
    termios t{};
    if (tcgetattr(fd, &t) == 0) {
        make_raw_termios(t);
        (void)tcsetattr(fd, TCSANOW, &t);
    }
    // Refuses further opens by other programs (root excepted); not every tty has it.
    exclusive_ = ioctl(fd, TIOCEXCL) == 0;
    serial_icounter_struct counters{};
    has_counters_ = ioctl(fd, TIOCGICOUNT, &counters) == 0;
    if (has_counters_)
        counters_ = {counters.frame, counters.overrun, counters.parity, counters.brk, counters.buf_overrun};
    hung_up_ = false;
    pending_errors_ = 0;
    return 0;
}

int SerialPort::open_network(std::chrono::milliseconds wait)
{
    if (!network_) {
        int error = 0;
        network_ = NetworkPort::start(*network_address_, error);
        if (!network_)
            return error;
        network_attempt_start_ = Clock::now();
    }
    const std::optional<int> outcome = network_->connection(wait);
    if (!outcome) {
        if (Clock::now() - network_attempt_start_ >= kNetworkConnectWait)
            network_.reset();  // given up: the next call starts afresh
        return ETIMEDOUT;
    }
    if (*outcome != 0) {
        network_.reset();
        return *outcome;
    }
    fd_ = network_->take_program_end();
    exclusive_ = false;
    has_counters_ = false;
    hung_up_ = false;
    pending_errors_ = 0;
    return 0;
}

SerialPort::~SerialPort()
{
    close_descriptor();
}

void SerialPort::close_descriptor() noexcept
{
    // A pseudo-terminal's slave stays exclusive while its peer holds it open,
    // which would refuse the next open of the path: release before closing.
    if (fd_.valid() && exclusive_)
        (void)ioctl(fd_.get(), TIOCNXCL);
    exclusive_ = false;
    wait_fd_.reset();
    fd_.reset();  // also releases the flock
    network_.reset();
}

void SerialPort::disconnect() noexcept
{
    close_descriptor();
    drop_held();
    hung_up_ = true;
}

bool SerialPort::reconnect(int& error)
{
    if (fd_.valid()) {
        error = 0;
        return true;
    }
    error = network_address_ ? open_network(kNetworkReconnectWait) : open_descriptor();
    if (error != 0) {
        hung_up_ = true;
        return false;
    }
    if (settings_) {
        const SerialLineSettings settings = *settings_;
        settings_.reset();
        if (!write_settings(settings))
            settings_ = settings;  // kept for the next reconnect; the line runs on what it has
    }
    purge();
    return true;
}

std::optional<SerialLineSettings> SerialPort::read_settings()
{
    if (network_address_)  // the server's line: what was last written, else the usual 9600 8N1
        return settings_.value_or(SerialLineSettings{});
    termios t{};
    if (tcgetattr(fd_.get(), &t) != 0)
        return std::nullopt;
    if (settings_)
        return settings_;
    return line_settings_from_termios(t, SerialLineSettings{});
}

bool SerialPort::write_settings(const SerialLineSettings& settings)
{
    if (settings.BaudRate == 0) {  // B0 would hang the line up
        errno = EINVAL;
        return false;
    }
    if (!fd_.valid()) {  // applied when the port is back
        settings_ = settings;
        return true;
    }
    if (network_) {
        settings_error_ = network_->apply_settings(settings);
        if (settings_error_ != 0) {
            errno = settings_error_;
            return false;
        }
        settings_ = settings;
        return true;
    }
    termios t{};
    if (tcgetattr(fd_.get(), &t) != 0)
        return false;
    const termios previous = t;
    if (!line_settings_to_termios(settings, t)) {
        errno = EINVAL;
        return false;
    }
    const unsigned constant = speed_to_termios_constant(settings.BaudRate);
    cfsetspeed(&t, constant != 0 ? constant : B38400);
    if (tcsetattr(fd_.get(), TCSANOW, &t) != 0)
        return false;
    if (constant == 0 && !set_custom_serial_speed(fd_.get(), settings.BaudRate)) {
        const int error = errno;
        (void)tcsetattr(fd_.get(), TCSANOW, &previous);
        errno = error;
        return false;
    }
    // Modem control lines; a pseudo-terminal has none (ENOTTY/EINVAL), which is no failure.
    int rts = TIOCM_RTS;
    int dtr = TIOCM_DTR;
    (void)ioctl(fd_.get(), settings.fRtsControl == serial_control::kDisable ? TIOCMBIC : TIOCMBIS, &rts);
    (void)ioctl(fd_.get(), settings.fDtrControl == serial_control::kDisable ? TIOCMBIC : TIOCMBIS, &dtr);
    settings_ = settings;
    return true;
}

bool SerialPort::setup_queues(std::uint32_t receive_bytes, std::uint32_t transmit_bytes) noexcept
{
    receive_queue_ = receive_bytes;
    transmit_queue_ = transmit_bytes;
    return true;
}

void SerialPort::set_timeouts(std::uint32_t read_total_ms, std::uint32_t write_total_ms) noexcept
{
    read_total_ms_ = read_total_ms;
    write_total_ms_ = write_total_ms;
}

void SerialPort::note_failure(int error) noexcept
{
    pending_errors_ |= serial_error_bit::kDeviceIo;
    if (is_hang_up_error(error))
        hung_up_ = true;
}

// Waits for `events` on the port until `deadline`; false on time-out. Marks
// the port hung up when the line went away.
bool SerialPort::wait_for(short events, Clock::time_point deadline)
{
    for (;;) {
        pollfd p{fd_.get(), events, 0};
        int n = ::poll(&p, 1, poll_timeout(deadline));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            note_failure(errno);
            return false;
        }
        if (n == 0)
            return false;
        if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) {
            // Bytes received before the hang-up can still be read.
            if ((events & POLLIN) && (p.revents & POLLIN))
                return true;
            hung_up_ = true;
            return false;
        }
        return true;
    }
}

SerialTransfer SerialPort::read(std::uint8_t* data, std::size_t length)
{
    if (length == 0)
        return {0, 0};
    const auto deadline = deadline_after(read_total_ms_);
    for (;;) {
        if (const std::size_t taken = take_held(data, length); taken > 0)
            return {0, taken};
        const long n = read_ahead();
        if (n > 0)
            continue;
        if (n == 0) {  // end of file on a tty: the line hung up
            hung_up_ = true;
            return {EIO, 0};
        }
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN) {
            int error = errno;
            note_failure(error);
            return {error, 0};
        }
        if (hung_up_ || !wait_for(POLLIN, deadline))
            return {hung_up_ ? EIO : 0, 0};
    }
}

long SerialPort::read_ahead() noexcept
{
    return read_ahead_from(fd_.get());
}

long SerialPort::read_ahead_from(int fd) noexcept
{
    if (ahead_begin_ > 0) {  // keep what is held at the front
        std::copy(ahead_.get() + ahead_begin_, ahead_.get() + ahead_end_, ahead_.get());
        ahead_end_ -= ahead_begin_;
        ahead_begin_ = 0;
    }
    if (ahead_end_ >= kSerialReadAheadBytes) {
        errno = EAGAIN;
        return -1;
    }
    const ssize_t n = ::read(fd, ahead_.get() + ahead_end_, kSerialReadAheadBytes - ahead_end_);
    if (n > 0)
        ahead_end_ += static_cast<std::size_t>(n);
    return n;
}

std::size_t SerialPort::take_held(std::uint8_t* data, std::size_t length) noexcept
{
    const std::size_t n = std::min(length, held());
    std::copy_n(ahead_.get() + ahead_begin_, n, data);
    ahead_begin_ += n;
    held_counted_ = false;
    return n;
}

void SerialPort::drop_held() noexcept
{
    ahead_begin_ = 0;
    ahead_end_ = 0;
    held_counted_ = false;
}

std::string SerialPort::discard_input(std::size_t limit)
{
    std::string dropped;
    for (;;) {
        const std::size_t n = std::min(held(), limit - dropped.size());
        dropped.append(reinterpret_cast<const char*>(ahead_.get() + ahead_begin_), n);
        ahead_begin_ += n;
        held_counted_ = false;
        if (dropped.size() >= limit || !fd_.valid())
            return dropped;
        const long got = read_ahead();
        if (got > 0)
            continue;
        if (got == 0 || is_hang_up_error(errno))
            hung_up_ = true;
        return dropped;
    }
}

SerialTransfer SerialPort::write(const std::uint8_t* data, std::size_t length)
{
    const auto deadline = deadline_after(write_total_ms_);
    std::size_t done = 0;
    while (done < length) {
        // A network port's socket whose connection is gone fails with EPIPE, without a SIGPIPE.
        ssize_t n = network_ ? ::send(fd_.get(), data + done, length - done, MSG_NOSIGNAL)
                             : ::write(fd_.get(), data + done, length - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN) {
            int error = errno;
            note_failure(error);
            return {error, done};
        }
        if (!wait_for(POLLOUT, deadline))
            return {hung_up_ ? EIO : 0, done};
    }
    return {0, done};
}

std::uint32_t SerialPort::take_errors()
{
    std::uint32_t word = pending_errors_;
    pending_errors_ = 0;
    if (hung_up_)
        word |= serial_error_bit::kDeviceIo;
    if (has_counters_) {
        serial_icounter_struct now{};
        if (ioctl(fd_.get(), TIOCGICOUNT, &now) == 0) {
            if (now.frame != counters_.frame)
                word |= serial_error_bit::kFraming;
            if (now.overrun != counters_.overrun)
                word |= serial_error_bit::kHardwareOverrun;
            if (now.parity != counters_.parity)
                word |= serial_error_bit::kParity;
            if (now.brk != counters_.brk)
                word |= serial_error_bit::kBreak;
            if (now.buf_overrun != counters_.buf_overrun)
                word |= serial_error_bit::kReceiveOverrun;
            counters_ = {now.frame, now.overrun, now.parity, now.brk, now.buf_overrun};
        }
    }
    return word;
}

std::int32_t SerialPort::receive_count() noexcept
{
    if (!fd_.valid())
        return static_cast<std::int32_t>(held());
    if (held() > 0 && !std::exchange(held_counted_, true))
        return static_cast<std::int32_t>(held());
    if (held() < kSerialReadAheadBytes) {
        const long n = read_ahead();
        // A tty that hung up reads 0 or fails with EIO, a socket whose peer left reads 0. Bytes
        // read before that are still the caller's: the port hangs up once they are taken.
        if ((n == 0 || (n < 0 && is_hang_up_error(errno))) && held() == 0)
            hung_up_ = true;
    }
    std::size_t count = held();
    int queued = 0;  // what a full buffer left in the driver
    if (count >= kSerialReadAheadBytes && ioctl(fd_.get(), FIONREAD, &queued) == 0 && queued > 0)
        count += static_cast<std::size_t>(queued);
    return static_cast<std::int32_t>(std::min<std::size_t>(count, 0x7FFFFFFF));
}

SerialWait SerialPort::wait_for_input(std::chrono::nanoseconds timeout)
{
    if (timeout < std::chrono::nanoseconds::zero())
        timeout = std::chrono::nanoseconds::zero();
    const timespec ts{static_cast<time_t>(timeout.count() / 1'000'000'000),
                      static_cast<long>(timeout.count() % 1'000'000'000)};
    if (held() > 0)
        return SerialWait::Readable;
    if (!hung_up_) {
        pollfd p{fd_.get(), POLLIN, 0};
        int n = ::ppoll(&p, 1, &ts, nullptr);
        if (n == 0)
            return SerialWait::TimedOut;
        // A line that hung up polls readable too: only bytes still queued count.
        const bool gone = n > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL));
        if (n > 0 && (p.revents & POLLIN) && (!gone || receive_count() > 0))
            return SerialWait::Readable;
        if (n > 0)
            hung_up_ = true;
        else if (errno == EINTR)
            return SerialWait::TimedOut;
    }
    // Hung up: use up the time anyway so that a caller's polling loop stays paced.
    (void)::ppoll(nullptr, 0, &ts, nullptr);
    return SerialWait::HungUp;
}

SerialWait SerialPort::wait_and_read_ahead()
{
    if (held() > 0)
        return SerialWait::Readable;
    if (hung_up_ || !wait_fd_.valid())
        return wait_for_input(kSerialReadWait);
    const long n = read_ahead_from(wait_fd_.get());
    if (n > 0)
        return SerialWait::Readable;
    if (n < 0 && (errno == EINTR || errno == EAGAIN))
        return SerialWait::TimedOut;
    if (n == 0) {
        // The read wait ran out, or the line hung up (which also reads 0).
        pollfd p{fd_.get(), POLLIN, 0};
        if (::poll(&p, 1, 0) <= 0 || !(p.revents & (POLLHUP | POLLERR | POLLNVAL)))
            return SerialWait::TimedOut;
        hung_up_ = true;
    } else {
        note_failure(errno);
    }
    return wait_for_input(kSerialReadWait);  // hung up: uses up the time, as wait_for_input does
}

SerialModemStatus SerialPort::modem_status() noexcept
{
    int bits = 0;
    if (ioctl(fd_.get(), TIOCMGET, &bits) != 0)
        return {};
    return {(bits & TIOCM_CTS) != 0, (bits & TIOCM_DSR) != 0, (bits & TIOCM_RNG) != 0, (bits & TIOCM_CAR) != 0};
}

void SerialPort::drop_dtr() noexcept
{
    int dtr = TIOCM_DTR;
    (void)ioctl(fd_.get(), TIOCMBIC, &dtr);
}

void SerialPort::purge() noexcept
{
    drop_held();
    if (!network_ || !fd_.valid()) {
        (void)tcflush(fd_.get(), TCIOFLUSH);
        return;
    }
    // What the connection's thread holds first, then what reached the socket.
    try {
        network_->purge();
    } catch (const std::exception&) {  // no memory for the request: the server keeps its buffers
    }
    std::uint8_t bytes[kSerialReadAheadBytes];
    while (::read(fd_.get(), bytes, sizeof bytes) > 0) {
    }
}

}  // namespace host
