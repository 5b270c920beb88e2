#include "tools/target-sim/pseudo_terminal.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <utility>

namespace sim {

namespace {

[[noreturn]] void throw_errno(const char* what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

void make_raw(int fd)
{
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0)
        throw_errno("tcgetattr");
    ::cfmakeraw(&settings);
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    if (::tcsetattr(fd, TCSANOW, &settings) != 0)
        throw_errno("tcsetattr");
}

}  // namespace

PseudoTerminal::PseudoTerminal() : master_(::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK))
{
    if (!master_.valid())
        throw_errno("posix_openpt");
    if (::grantpt(master_.get()) != 0 || ::unlockpt(master_.get()) != 0)
        throw_errno("unlockpt");
    char name[256];
    if (::ptsname_r(master_.get(), name, sizeof name) != 0)
        throw_errno("ptsname_r");
    slave_path_ = name;
    slave_ = host::FileDescriptor(::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK));
    if (!slave_.valid())
        throw_errno("open slave");
    make_raw(slave_.get());
    make_raw(master_.get());
}

int PseudoTerminal::unread_by_client() const noexcept
{
    int count = 0;
    if (!slave_.valid() || ::ioctl(slave_.get(), FIONREAD, &count) != 0)
        return 0;
    return count;
}

void PseudoTerminal::hang_up() noexcept
{
    master_.reset();
    slave_.reset();
}

SlaveLink::SlaveLink(std::string path, std::string target) : path_(std::move(path)), target_(std::move(target))
{
    struct stat info{};
    if (::lstat(path_.c_str(), &info) == 0) {
        if (!S_ISLNK(info.st_mode)) {
            errno = EEXIST;
            path_.clear();
            throw_errno("link path exists and is not a symbolic link");
        }
        ::unlink(path_.c_str());
    }
    if (::symlink(target_.c_str(), path_.c_str()) != 0) {
        path_.clear();
        throw_errno("symlink");
    }
}

SlaveLink::~SlaveLink() { remove(); }

SlaveLink::SlaveLink(SlaveLink&& other) noexcept
    : path_(std::exchange(other.path_, {})), target_(std::exchange(other.target_, {}))
{
}

SlaveLink& SlaveLink::operator=(SlaveLink&& other) noexcept
{
    if (this != &other) {
        remove();
        path_ = std::exchange(other.path_, {});
        target_ = std::exchange(other.target_, {});
    }
    return *this;
}

void SlaveLink::remove() noexcept
{
    if (path_.empty())
        return;
    char buffer[512];
    const ssize_t length = ::readlink(path_.c_str(), buffer, sizeof buffer - 1);
    if (length >= 0 && std::string(buffer, static_cast<std::size_t>(length)) == target_)
        ::unlink(path_.c_str());
    path_.clear();
}

}  // namespace sim
