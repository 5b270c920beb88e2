#include "host/screenless_front_end.h"

#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cstdint>
#include <stdexcept>
#include <thread>

#include "host/desktop.h"

namespace host {

namespace {

sigset_t ending_signals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    return set;
}

// Takes every waiting byte or record of a non-blocking descriptor.
template <class Record>
bool drain(const FileDescriptor& fd)
{
    bool any = false;
    Record record{};
    while (::read(fd.get(), &record, sizeof record) == static_cast<ssize_t>(sizeof record))
        any = true;
    return any;
}

}  // namespace

ScreenlessFrontEnd::ScreenlessFrontEnd()
{
    const sigset_t set = ending_signals();
    pthread_sigmask(SIG_BLOCK, &set, &previous_mask_);
    signals_ = FileDescriptor(signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC));
    wake_ = FileDescriptor(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
    if (!signals_.valid() || !wake_.valid()) {
        pthread_sigmask(SIG_SETMASK, &previous_mask_, nullptr);
        throw std::runtime_error("cannot watch for SIGINT and SIGTERM without a screen");
    }
}

ScreenlessFrontEnd::~ScreenlessFrontEnd()
{
    pthread_sigmask(SIG_SETMASK, &previous_mask_, nullptr);
}

void ScreenlessFrontEnd::collect_events(Desktop& desktop, std::chrono::milliseconds timeout)
{
    if (closing_) {
        // The program was told to end; nothing more will come.
        std::this_thread::sleep_for(std::min(timeout, std::chrono::milliseconds(100)));
        return;
    }
    pollfd fds[2] = {{signals_.get(), POLLIN, 0}, {wake_.get(), POLLIN, 0}};
    if (::poll(fds, 2, static_cast<int>(timeout.count())) <= 0)
        return;
    drain<std::uint64_t>(wake_);
    if (!drain<signalfd_siginfo>(signals_))
        return;
    closing_ = true;
    if (main_window_ != 0)
        desktop.post(Message{main_window_, MessageKind::Close, 0, 0});
    desktop.post_quit(0);
}

void ScreenlessFrontEnd::wake() noexcept
{
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(wake_.get(), &one, sizeof one);
}

void ScreenlessFrontEnd::window_created(WindowId window, const WindowInfo&)
{
    if (main_window_ == 0)
        main_window_ = window;
}

void ScreenlessFrontEnd::window_destroyed(WindowId window)
{
    if (window == main_window_)
        main_window_ = 0;
}

}  // namespace host
