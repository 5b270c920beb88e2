// A pseudo-terminal for the serial tests: the test plays the peer on the
// master side; the code under test opens the slave path as its port.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <string_view>

#include "host/file_descriptor.h"

namespace serial_test {

class PseudoTerminal {
public:
    PseudoTerminal()
    {
        master_ = host::FileDescriptor(posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
        if (!master_.valid() || grantpt(master()) != 0 || unlockpt(master()) != 0)
            throw std::runtime_error("no pseudo-terminal");
        slave_path_ = ptsname(master());
        // The master keeps a raw view so that bytes pass unchanged both ways.
        termios t{};
        tcgetattr(master(), &t);
        cfmakeraw(&t);
        tcsetattr(master(), TCSANOW, &t);
    }

    const std::string& slave_path() const { return slave_path_; }
    int master() const { return master_.get(); }

    void send(std::string_view bytes)
    {
        std::size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = ::write(master(), bytes.data() + done, bytes.size() - done);
            if (n < 0)
                throw std::runtime_error("pty write failed");
            done += static_cast<std::size_t>(n);
        }
    }

    // Reads what the port sent until `count` bytes arrived or `timeout` passed.
    std::string receive(std::size_t count, std::chrono::milliseconds timeout = std::chrono::milliseconds(2000))
    {
        std::string bytes;
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (bytes.size() < count) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                break;
            pollfd p{master(), POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left.count())) <= 0)
                break;
            char buffer[4096];
            ssize_t n = ::read(master(), buffer, std::min(sizeof buffer, count - bytes.size()));
            if (n <= 0)
                break;
            bytes.append(buffer, static_cast<std::size_t>(n));
        }
        return bytes;
    }

    // Closes the master: the slave side sees a hang-up.
    void hang_up() { master_.reset(); }

private:
    host::FileDescriptor master_;
    std::string slave_path_;
};

}  // namespace serial_test
