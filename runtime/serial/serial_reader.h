// The reader thread of one open channel: waits for bytes to arrive on the
// port and calls `on_arrival` once per arrival (the channel raises its
// arrival event 21+n there). It never reads data; the program thread does.
//
// The wait is an epoll on the port, edge-triggered so that bytes left unread
// do not wake it again, plus an eventfd through which stop() wakes it. The
// thread ends by itself when the port hangs up. Line errors and modem changes
// raise no event, so the thread does not wait for them separately: the
// driver's error counters and modem lines are read by the program thread.
#pragma once

#include <atomic>
#include <functional>
#include <thread>

#include "host/file_descriptor.h"

namespace rt {

class SerialReader {
public:
    // Starts the thread; throws std::system_error when it cannot be started.
    SerialReader(int port_fd, std::function<void()> on_arrival);
    // Wakes the thread and joins it.
    ~SerialReader();
    SerialReader(const SerialReader&) = delete;
    SerialReader& operator=(const SerialReader&) = delete;

    // False once the thread has ended by itself (hang-up, failed wait).
    bool running() const noexcept { return running_.load(std::memory_order_acquire); }

private:
    void run();

    host::FileDescriptor wake_;
    host::FileDescriptor epoll_;
    std::function<void()> on_arrival_;
    std::atomic<bool> running_{true};
    std::jthread thread_;  // last: started after everything it uses
};

}  // namespace rt
