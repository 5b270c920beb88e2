#include "runtime/serial/serial_reader.h"

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>

namespace rt {

namespace {

int checked(int fd)
{
    if (fd < 0)
        throw std::system_error(errno, std::generic_category(), "serial reader");
    return fd;
}

}  // namespace

SerialReader::SerialReader(int port_fd, std::function<void()> on_arrival, std::function<bool()> arrivals_wanted,
                           std::function<bool()> bytes_held)
    : wake_(checked(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))),
      epoll_(checked(epoll_create1(EPOLL_CLOEXEC))),
      port_fd_(port_fd),
      on_arrival_(std::move(on_arrival)),
      arrivals_wanted_(std::move(arrivals_wanted)),
      bytes_held_(std::move(bytes_held))
{
    epoll_event wake_event{};
    wake_event.events = EPOLLIN;
    wake_event.data.fd = wake_.get();
    checked(epoll_ctl(epoll_.get(), EPOLL_CTL_ADD, wake_.get(), &wake_event));
    epoll_event port_event{};
    port_event.events = EPOLLIN | EPOLLET | EPOLLRDHUP;
    port_event.data.fd = port_fd;
    checked(epoll_ctl(epoll_.get(), EPOLL_CTL_ADD, port_fd, &port_event));
    thread_ = std::jthread([this] { run(); });
}

void SerialReader::watch_port(bool arrivals)
{
    // Modifying re-checks readiness: bytes already there report at once.
    epoll_event port_event{};
    port_event.events = (arrivals ? EPOLLIN : 0u) | EPOLLET | EPOLLRDHUP;
    port_event.data.fd = port_fd_;
    (void)epoll_ctl(epoll_.get(), EPOLL_CTL_MOD, port_fd_, &port_event);
}

void SerialReader::recheck() noexcept
{
    const std::uint64_t one = 1;
    (void)::write(wake_.get(), &one, sizeof one);
}

SerialReader::~SerialReader()
{
    stopping_.store(true, std::memory_order_release);
    recheck();
    if (thread_.joinable())
        thread_.join();
}

void SerialReader::run()
{
    bool watching = false;
    bool started = false;
    for (;;) {
        // Watching starts (or starts again) with bytes already there: the
        // driver's are reported by the re-registration, those held here now.
        const bool wanted = !arrivals_wanted_ || arrivals_wanted_();
        if (wanted != watching || !started) {
            watch_port(wanted);
            watching = wanted;
            started = true;
            if (watching && bytes_held_ && bytes_held_())
                on_arrival_();
        }
        epoll_event events[2];
        int n = epoll_wait(epoll_.get(), events, 2, -1);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        bool woken = false;
        bool hung_up = false;
        bool arrived = false;
        for (int i = 0; i < n; ++i) {
            if (events[i].data.fd == wake_.get()) {
                woken = true;
                continue;
            }
            if (events[i].events & EPOLLIN)
                arrived = true;
            if (events[i].events & (EPOLLHUP | EPOLLERR | EPOLLRDHUP))
                hung_up = true;
        }
        if (woken) {
            std::uint64_t count = 0;
            (void)::read(wake_.get(), &count, sizeof count);
            if (stopping_.load(std::memory_order_acquire))
                break;
        }
        if (arrived && watching)  // bytes that came just before a hang-up still count
            on_arrival_();
        if (hung_up)
            break;
    }
    running_.store(false, std::memory_order_release);
}

}  // namespace rt
