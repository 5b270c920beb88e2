// A board's serial line opened raw from the test, as a monitor program opens
// its port: bytes out, and replies (text up to a carriage return) back.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

#include "host/file_descriptor.h"

namespace qk_test {

class RawLine {
public:
    explicit RawLine(const std::filesystem::path& path)
        : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC))
    {
        if (!fd_.valid())
            throw std::runtime_error("cannot open " + path.string());
        termios t{};
        ::tcgetattr(fd_.get(), &t);
        ::cfmakeraw(&t);
        ::tcsetattr(fd_.get(), TCSANOW, &t);
        ::tcflush(fd_.get(), TCIFLUSH);
    }

    void send(std::string_view bytes) const
    {
        if (::write(fd_.get(), bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
            throw std::runtime_error("write to the line failed");
    }

    // What arrives until `count` carriage returns have come, or until `limit`
    // has passed without them.
    std::string replies(int count, std::chrono::milliseconds limit = std::chrono::seconds(5)) const
    {
        std::string text;
        const auto until = std::chrono::steady_clock::now() + limit;
        int ends = 0;
        while (ends < count) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
            pollfd p{fd_.get(), POLLIN, 0};
            if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0)
                break;
            char buffer[256];
            const ssize_t n = ::read(fd_.get(), buffer, sizeof buffer);
            if (n <= 0)
                break;
            for (ssize_t i = 0; i < n; ++i)
                ends += buffer[i] == '\r';
            text.append(buffer, static_cast<std::size_t>(n));
        }
        return text;
    }

private:
    host::FileDescriptor fd_;
};

}  // namespace qk_test
