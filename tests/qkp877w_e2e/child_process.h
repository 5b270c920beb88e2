// A program run as a child process for the end-to-end tests: started with
// its arguments in a working directory, standard output to a pipe or to a
// pseudo-terminal, ended with SIGTERM when the test is done with it.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "host/file_descriptor.h"

namespace e2e {

using Clock = std::chrono::steady_clock;

using Descriptor = host::FileDescriptor;

struct ProcessSpec {
    std::string program;
    std::vector<std::string> arguments;
    std::filesystem::path directory;
    std::vector<std::pair<std::string, std::string>> environment;  // added or replaced
    bool outputOnTerminal = false;  // stdin and stdout on a pseudo-terminal of 80 x 25
};

class ChildProcess {
public:
    explicit ChildProcess(const ProcessSpec& spec)
    {
        int slave = -1;
        if (spec.outputOnTerminal) {
            output_ = Descriptor(::posix_openpt(O_RDWR | O_NOCTTY));
            if (output_.get() < 0 || ::grantpt(output_.get()) != 0 || ::unlockpt(output_.get()) != 0)
                throw std::runtime_error("pseudo-terminal");
            slave = ::open(::ptsname(output_.get()), O_RDWR | O_NOCTTY);
            winsize size{};
            size.ws_row = 25;
            size.ws_col = 80;
            ::ioctl(slave, TIOCSWINSZ, &size);
        } else {
            int pipe_ends[2];
            if (::pipe(pipe_ends) != 0)
                throw std::runtime_error("pipe");
            output_ = Descriptor(pipe_ends[0]);
            slave = pipe_ends[1];
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            if (spec.outputOnTerminal) {
                ::setsid();
                ::ioctl(slave, TIOCSCTTY, 0);
                ::dup2(slave, STDIN_FILENO);
            }
            ::dup2(slave, STDOUT_FILENO);
            ::close(slave);
            if (::chdir(spec.directory.c_str()) != 0)
                ::_exit(126);
            for (const auto& [name, value] : spec.environment)
                ::setenv(name.c_str(), value.c_str(), 1);
            std::vector<std::string> words{spec.program};
            words.insert(words.end(), spec.arguments.begin(), spec.arguments.end());
            std::vector<char*> argv;
            for (std::string& word : words)
                argv.push_back(word.data());
            argv.push_back(nullptr);
            ::execv(spec.program.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(slave);
        ::fcntl(output_.get(), F_SETFL, ::fcntl(output_.get(), F_GETFL) | O_NONBLOCK);
    }
    ~ChildProcess()
    {
        if (pid_ > 0 && !exited_) {
            ::kill(pid_, SIGTERM);
            int status = 0;
            ::waitpid(pid_, &status, 0);
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Output read so far (reads what is waiting, up to `limit`).
    const std::string& read_output(std::chrono::milliseconds limit)
    {
        const auto end = Clock::now() + limit;
        for (;;) {
            char buffer[4096];
            const ssize_t n = ::read(output_.get(), buffer, sizeof buffer);
            if (n > 0) {
                output_text_.append(buffer, static_cast<std::size_t>(n));
                continue;
            }
            const auto now = Clock::now();
            if (now >= end)
                break;
            pollfd fd{output_.get(), POLLIN, 0};
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - now).count();
            if (::poll(&fd, 1, static_cast<int>(left)) <= 0 || (fd.revents & (POLLHUP | POLLERR) && !(fd.revents & POLLIN)))
                break;
        }
        return output_text_;
    }

    // The first line of output, waiting up to `limit`.
    std::optional<std::string> first_line(std::chrono::milliseconds limit)
    {
        const auto end = Clock::now() + limit;
        while (Clock::now() < end) {
            read_output(std::chrono::milliseconds(50));
            const auto newline = output_text_.find('\n');
            if (newline != std::string::npos)
                return output_text_.substr(0, newline);
        }
        return std::nullopt;
    }

    void write_input(std::string_view bytes) const
    {
        if (::write(output_.get(), bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
            throw std::runtime_error("write to the child's terminal");
    }

    // The exit status, or nothing when the process is still running after `limit`.
    std::optional<int> wait_exit(std::chrono::milliseconds limit)
    {
        const auto end = Clock::now() + limit;
        do {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                exited_ = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            read_output(std::chrono::milliseconds(20));
        } while (Clock::now() < end);
        return std::nullopt;
    }

private:
    pid_t pid_ = -1;
    bool exited_ = false;
    Descriptor output_;
    std::string output_text_;
};

}  // namespace e2e
