#include "tools/gpsim-bridge/gpsim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <system_error>
#include <utility>

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

}  // namespace

GpsimProcess::GpsimProcess(const std::string& program, const std::vector<std::string>& arguments)
{
    auto [child_in, input] = pipe_pair();
    auto [output, child_out] = pipe_pair();

    std::vector<std::string> argv_text{program};
    argv_text.insert(argv_text.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : argv_text)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    const pid_t parent = ::getpid();
    pid_ = ::fork();
    if (pid_ < 0)
        throw_errno(errno, "fork");
    if (pid_ == 0) {
        // The child: its own process group (so the whole group can be
        // ended), killed should the bridge die without ending it (gpsim
        // spins at the end of its input instead of leaving), every signal
        // unblocked and at its default (the bridge blocks the stop signals it
        // reads through a signalfd).
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        ::signal(SIGPIPE, SIG_DFL);
        if (::dup2(child_in.get(), STDIN_FILENO) < 0 || ::dup2(child_out.get(), STDOUT_FILENO) < 0 ||
            ::dup2(child_out.get(), STDERR_FILENO) < 0)
            ::_exit(127);
        ::execvp(program.c_str(), argv.data());
        const std::string message = "cannot start " + program + "\n";
        (void)!::write(STDERR_FILENO, message.data(), message.size());
        ::_exit(127);
    }
    ::setpgid(pid_, pid_);  // also here, so the group exists whichever runs first
    input_ = std::move(input);
    output_ = std::move(output);
    ::fcntl(output_.get(), F_SETFL, ::fcntl(output_.get(), F_GETFL) | O_NONBLOCK);
    ::fcntl(input_.get(), F_SETFL, ::fcntl(input_.get(), F_GETFL) | O_NONBLOCK);
}

GpsimProcess::~GpsimProcess()
{
    input_.reset();
    ::kill(-pid_, SIGKILL);
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
}

void GpsimProcess::send(std::string_view text, std::string& output)
{
    while (!text.empty()) {
        pollfd waits[2] = {{input_.get(), POLLOUT, 0}, {output_.get(), POLLIN, 0}};
        if (::poll(waits, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            throw std::runtime_error("poll on gpsim's pipes failed");
        }
        if (waits[1].revents & (POLLIN | POLLHUP))
            read_output(output);
        if (waits[0].revents & (POLLERR | POLLHUP))
            throw std::runtime_error("gpsim no longer takes commands");
        if (!(waits[0].revents & POLLOUT))
            continue;
        const ssize_t written = ::write(input_.get(), text.data(), text.size());
        if (written < 0) {
            if (errno == EINTR || errno == EAGAIN)
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
