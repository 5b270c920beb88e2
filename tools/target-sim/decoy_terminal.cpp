#include "tools/target-sim/decoy_terminal.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace sim {

DecoyTerminal::DecoyTerminal()
{
    int ready[2];
    if (::pipe2(ready, O_CLOEXEC) != 0)
        throw std::system_error(errno, std::generic_category(), "pipe");
    holder_ = ::fork();
    if (holder_ < 0) {
        const int error = errno;
        ::close(ready[0]);
        ::close(ready[1]);
        throw std::system_error(error, std::generic_category(), "fork");
    }
    if (holder_ == 0) {
        // A new session whose controlling terminal is the decoy; then wait to be killed.
        ::close(ready[0]);
        ::setsid();
        const int fd = ::open(terminal_.slave_path().c_str(), O_RDWR);
        if (fd >= 0)
            (void)::ioctl(fd, TIOCSCTTY, 0);
        (void)!::write(ready[1], "x", 1);
        for (;;)
            ::pause();
    }
    ::close(ready[1]);
    char byte = 0;
    while (::read(ready[0], &byte, 1) < 0 && errno == EINTR) {
    }
    ::close(ready[0]);
}

DecoyTerminal::~DecoyTerminal()
{
    if (holder_ > 0) {
        ::kill(holder_, SIGKILL);
        while (::waitpid(holder_, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
}

}  // namespace sim
