// The reader thread of one open channel: waits for bytes to arrive on the
// port and calls `on_arrival` once per arrival (the channel raises its
// arrival event 21+n there). It never reads data; the program thread does.
//
// The wait is an epoll on the port, edge-triggered so that bytes left unread
// do not wake it again, plus an eventfd through which stop() wakes it. The
// thread ends by itself when the port hangs up.
//
// An arrival matters only while `arrivals_wanted` says so (the arrival event
// is armed). Otherwise the thread stops watching the port for bytes, which
// would wake it once a byte while a reply streams in, and sleeps until
// recheck() (the event was armed) or a hang-up; bytes already waiting when
// it watches again raise the event at once. A disarmed event is noticed at
// the next arrival. Hang-ups are seen either way. Line errors and modem changes
// raise no event, so the thread does not wait for them separately: the
// driver's error counters and modem lines are read by the program thread.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "host/file_descriptor.h"

namespace rt {

class SerialReader {
public:
    // Starts the thread; throws std::system_error when it cannot be started.
    // Without `arrivals_wanted`, every arrival is reported. `bytes_held` tells
    // whether the program thread holds bytes read ahead from the port: they
    // count as waiting when watching starts again.
    SerialReader(int port_fd, std::function<void()> on_arrival, std::function<bool()> arrivals_wanted = {},
                 std::function<bool()> bytes_held = {});
    // Wakes the thread and joins it.
    ~SerialReader();
    SerialReader(const SerialReader&) = delete;
    SerialReader& operator=(const SerialReader&) = delete;

    // Any thread: asks the thread whether it should watch for arrivals now.
    void recheck() noexcept;

    // False once the thread has ended by itself (hang-up, failed wait).
    bool running() const noexcept { return running_.load(std::memory_order_acquire); }

private:
    void run();
    // Registers the port for bytes and hang-ups, or for hang-ups only.
    void watch_port(bool arrivals);

    host::FileDescriptor wake_;
    host::FileDescriptor epoll_;
    int port_fd_;
    std::function<void()> on_arrival_;
    std::function<bool()> arrivals_wanted_;
    std::function<bool()> bytes_held_;
    std::atomic<bool> running_{true};
    std::atomic<bool> stopping_{false};
    std::jthread thread_;  // last: started after everything it uses
};

}  // namespace rt
