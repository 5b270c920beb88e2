#include "host/session_terminal.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "host/file_descriptor.h"

namespace host {

namespace {

// Field 7 of a /proc/PID/stat line: the process name (field 2) is in
// parentheses and may hold blanks and parentheses, so fields count from the
// last ')'.
std::optional<long> controlling_terminal_number(const char* stat_line)
{
    const char* p = std::strrchr(stat_line, ')');
    if (!p)
        return std::nullopt;
    ++p;
    for (int field = 3; field < 7; ++field) {  // state, ppid, pgrp, session
        while (*p == ' ')
            ++p;
        while (*p && *p != ' ')
            ++p;
    }
    char* end = nullptr;
    const long number = std::strtol(p, &end, 10);
    if (end == p)
        return std::nullopt;
    return number;
}

struct DirectoryCloser {
    void operator()(DIR* d) const noexcept { ::closedir(d); }
};

}  // namespace

std::optional<pid_t> process_controlled_by(int fd)
{
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISCHR(info.st_mode))
        return std::nullopt;
    const unsigned wanted_major = major(info.st_rdev);
    const unsigned wanted_minor = minor(info.st_rdev);
    std::unique_ptr<DIR, DirectoryCloser> proc(::opendir("/proc"));
    if (!proc)
        return std::nullopt;
    while (const dirent* entry = ::readdir(proc.get())) {
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (pid <= 0 || *end != '\0')
            continue;
        const std::string path = std::string("/proc/") + entry->d_name + "/stat";
        const FileDescriptor stat_file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        if (!stat_file.valid())
            continue;  // the process ended meanwhile
        char line[1024];
        const ssize_t n = ::read(stat_file.get(), line, sizeof line - 1);
        if (n <= 0)
            continue;
        line[n] = '\0';
        const std::optional<long> tty = controlling_terminal_number(line);
        if (!tty || *tty == 0)
            continue;
        // The kernel's encoding: minor in bits 31-20 and 7-0, major in bits 15-8.
        const auto number = static_cast<unsigned long>(*tty);
        const unsigned tty_major = (number >> 8) & 0xFFF;
        const unsigned tty_minor = (number & 0xFF) | ((number >> 12) & 0xFFF00);
        if (tty_major == wanted_major && tty_minor == wanted_minor)
            return static_cast<pid_t>(pid);
    }
    return std::nullopt;
}

}  // namespace host
