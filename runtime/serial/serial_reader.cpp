#include "serial_reader.h"

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

SerialReader::SerialReader(int port_fd, std::function<void()> on_arrival)
    : wake_(checked(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))),
      epoll_(checked(epoll_create1(EPOLL_CLOEXEC))),
      on_arrival_(std::move(on_arrival))
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

SerialReader::~SerialReader()
{
    const std::uint64_t one = 1;
    (void)::write(wake_.get(), &one, sizeof one);
    if (thread_.joinable())
        thread_.join();
}

void SerialReader::run()
{
    for (;;) {
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
        if (woken)
            break;
        if (arrived)  // bytes that came just before a hang-up still count
            on_arrival_();
        if (hung_up)
            break;
    }
    running_.store(false, std::memory_order_release);
}

}  // namespace rt
