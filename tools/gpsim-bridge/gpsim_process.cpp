#include "gpsim_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <system_error>
#include <utility>

extern char** environ;

namespace bridge {

namespace {

[[noreturn]] void throw_errno(int error, const char* what) { throw std::system_error(error, std::generic_category(), what); }

std::pair<host::FileDescriptor, host::FileDescriptor> pipe_pair()
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        throw_errno(errno, "pipe");
    return {host::FileDescriptor(ends[0]), host::FileDescriptor(ends[1])};
}

// posix_spawn's attributes and file actions, released on every path.
class SpawnSetup {
public:
    SpawnSetup()
    {
        ::posix_spawnattr_init(&attributes_);
        ::posix_spawn_file_actions_init(&actions_);
    }
    ~SpawnSetup()
    {
        ::posix_spawn_file_actions_destroy(&actions_);
        ::posix_spawnattr_destroy(&attributes_);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    posix_spawnattr_t attributes_;
    posix_spawn_file_actions_t actions_;
};

}  // namespace

GpsimProcess::GpsimProcess(const std::string& program, const std::vector<std::string>& arguments)
{
    auto [child_in, input] = pipe_pair();
    auto [output, child_out] = pipe_pair();

    SpawnSetup setup;
    // Its own process group (so the whole group can be ended), every signal
    // unblocked and at its default: this process blocks the stop signals it
    // reads through a signalfd.
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    ::posix_spawnattr_setpgroup(&setup.attributes_, 0);
    ::posix_spawnattr_setsigmask(&setup.attributes_, &none);
    ::posix_spawnattr_setsigdefault(&setup.attributes_, &all);
    ::posix_spawnattr_setflags(&setup.attributes_,
                               POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    ::posix_spawn_file_actions_adddup2(&setup.actions_, child_in.get(), STDIN_FILENO);
    ::posix_spawn_file_actions_adddup2(&setup.actions_, child_out.get(), STDOUT_FILENO);
    ::posix_spawn_file_actions_adddup2(&setup.actions_, child_out.get(), STDERR_FILENO);

    std::vector<std::string> argv_text{program};
    argv_text.insert(argv_text.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : argv_text)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    const int error = ::posix_spawnp(&pid_, program.c_str(), &setup.actions_, &setup.attributes_, argv.data(), environ);
    if (error != 0)
        throw_errno(error, ("cannot start " + program).c_str());
    input_ = std::move(input);
    output_ = std::move(output);
    ::fcntl(output_.get(), F_SETFL, ::fcntl(output_.get(), F_GETFL) | O_NONBLOCK);
}

GpsimProcess::~GpsimProcess()
{
    input_.reset();
    ::kill(-pid_, SIGKILL);
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
}

void GpsimProcess::send(std::string_view text)
{
    while (!text.empty()) {
        const ssize_t written = ::write(input_.get(), text.data(), text.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            throw std::runtime_error("gpsim no longer takes commands");
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
}

bool GpsimProcess::read_output(std::string& text)
{
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(output_.get(), buffer, sizeof buffer);
        if (count > 0) {
            text.append(buffer, static_cast<std::size_t>(count));
            continue;
        }
        if (count == 0)
            return false;
        if (errno == EINTR)
            continue;
        return errno == EAGAIN || errno == EWOULDBLOCK;
    }
}

}  // namespace bridge
