// Another program holding a port: a child process that opens the path and
// takes its flock until this object is destroyed.
#pragma once

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <string>

namespace serial_test {

class PortHolder {
public:
    explicit PortHolder(const std::string& path)
    {
        int ready[2];
        if (pipe(ready) != 0 || pipe(release_) != 0)
            throw std::runtime_error("pipe");
        child_ = fork();
        if (child_ < 0)
            throw std::runtime_error("fork");
        if (child_ == 0) {
            int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
            char c = (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0) ? 'y' : 'n';
            (void)!::write(ready[1], &c, 1);
            (void)!::read(release_[0], &c, 1);
            _exit(0);
        }
        char c = 0;
        holding_ = ::read(ready[0], &c, 1) == 1 && c == 'y';
        ::close(ready[0]);
        ::close(ready[1]);
    }
    ~PortHolder() { release(); }
    PortHolder(const PortHolder&) = delete;
    PortHolder& operator=(const PortHolder&) = delete;

    bool holding() const noexcept { return holding_; }

    // Lets the child end, which releases the port.
    void release()
    {
        if (child_ <= 0)
            return;
        char c = 'x';
        (void)!::write(release_[1], &c, 1);
        int status = 0;
        waitpid(child_, &status, 0);
        child_ = -1;
        ::close(release_[0]);
        ::close(release_[1]);
    }

private:
    pid_t child_ = -1;
    int release_[2] = {-1, -1};
    bool holding_ = false;
};

}  // namespace serial_test
