// An Xvfb server for tests and benchmarks of the SDL2 front end.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

// An Xvfb server on a display number it picks itself; stopped with the object.
class XvfbServer {
public:
    XvfbServer()
    {
        int fds[2];
        if (pipe(fds) != 0)
            return;
        pid_ = fork();
        if (pid_ == 0) {
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "800x600x24", "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        char buffer[16] = {};
        const ssize_t n = pid_ > 0 ? read(fds[0], buffer, sizeof buffer - 1) : -1;
        close(fds[0]);
        if (n > 0)
            display_ = ":" + std::string(buffer, std::size_t(n - (buffer[n - 1] == '\n')));
    }
    ~XvfbServer()
    {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    const std::string& display() const noexcept { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};
