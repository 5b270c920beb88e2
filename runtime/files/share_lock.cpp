#include "runtime/files/share_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

namespace rt {

namespace {

// Marker bytes, far beyond any file a program writes.
constexpr off_t kMarkerBase = off_t{1} << 62;
constexpr off_t kReading = kMarkerBase + 0;
constexpr off_t kWriting = kMarkerBase + 1;
constexpr off_t kDeniesReading = kMarkerBase + 2;
constexpr off_t kDeniesWriting = kMarkerBase + 3;

struct flock marker(short type, off_t offset) noexcept
{
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = offset;
    lock.l_len = 1;
    return lock;
}

// True when another open file description holds a lock on the marker byte.
// Returns -1 with errno set when the test itself fails.
int held_by_another(int fd, off_t offset) noexcept
{
    struct flock lock = marker(F_WRLCK, offset);
    if (::fcntl(fd, F_OFD_GETLK, &lock) != 0)
        return -1;
    return lock.l_type != F_UNLCK ? 1 : 0;
}

int hold(int fd, off_t offset) noexcept
{
    struct flock lock = marker(F_RDLCK, offset);
    return ::fcntl(fd, F_OFD_SETLK, &lock) == 0 ? 0 : errno;
}

// Serialises check-and-take between programs. Bounded: a foreign program that
// keeps an flock() on the file only costs the guard, never a hang.
class OpenGuard {
public:
    explicit OpenGuard(int fd) noexcept : fd_(fd)
    {
        for (int attempt = 0; attempt < 100 && !locked_; ++attempt) {
            locked_ = ::flock(fd_, LOCK_EX | LOCK_NB) == 0;
            if (!locked_)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    ~OpenGuard()
    {
        if (locked_)
            ::flock(fd_, LOCK_UN);
    }
    OpenGuard(const OpenGuard&) = delete;
    OpenGuard& operator=(const OpenGuard&) = delete;

private:
    int fd_;
    bool locked_ = false;
};

}  // namespace

int acquire_share_locks(int fd, const ShareRequest& request) noexcept
{
    const bool others_may_read = request.share_code == 1 || request.share_code == 3 || request.share_code > 4 ||
                                 request.share_code < 1;
    const bool others_may_write = request.share_code == 2 || request.share_code == 3 || request.share_code > 4 ||
                                  request.share_code < 1;
    const struct {
        bool wanted;
        off_t held_marker;   // what this open takes
        off_t conflict;      // what another open must not hold
    } checks[] = {
        {request.reads, kReading, kDeniesReading},
        {request.writes, kWriting, kDeniesWriting},
        {!others_may_read, kDeniesReading, kReading},
        {!others_may_write, kDeniesWriting, kWriting},
    };

    OpenGuard guard(fd);
    for (const auto& check : checks) {
        if (!check.wanted)
            continue;
        const int held = held_by_another(fd, check.conflict);
        if (held < 0)
            return errno;
        if (held > 0)
            return EACCES;
    }
    for (const auto& check : checks)
        if (check.wanted)
            if (const int error = hold(fd, check.held_marker); error != 0)
                return error;
    return 0;
}

}  // namespace rt
