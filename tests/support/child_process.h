// A program run as a child process for the tests: started with its
// arguments in a given directory and environment; standard output and error
// to files, to a pipe the test reads, or (with standard input) to a
// pseudo-terminal of 80x25 the test holds; standard input from /dev/null, a
// pipe the test writes or that terminal. The destructor stops the child
// (SIGTERM, then SIGKILL after a grace period) and reaps it.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/file_descriptor.h"

namespace qk_test {

struct ChildOptions {
    std::filesystem::path program{};
    std::vector<std::string> arguments{};
    std::filesystem::path directory{};                               // the child's current directory; empty: this one
    std::vector<std::pair<std::string, std::string>> environment{};  // set or replaced in the child
    // Standard input and output on a pseudo-terminal (the child's controlling
    // terminal); otherwise standard input as below.
    bool on_terminal = false;
    bool input_pipe = false;             // standard input from a pipe (write_input); else /dev/null
    std::filesystem::path stdout_file{};  // empty: a pipe (read_output)
    std::filesystem::path stderr_file{};  // empty: this process's standard error
};

class ChildProcess {
public:
    using Clock = std::chrono::steady_clock;

    explicit ChildProcess(const ChildOptions& options)
    {
        std::vector<std::string> argv_text{options.program.string()};
        argv_text.insert(argv_text.end(), options.arguments.begin(), options.arguments.end());
        std::vector<char*> argv;
        for (std::string& a : argv_text)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        std::vector<std::string> environment_text = merged_environment(options.environment);
        std::vector<char*> envp;
        for (std::string& e : environment_text)
            envp.push_back(e.data());
        envp.push_back(nullptr);

        // The child's ends; this process keeps the other ends (close-on-exec,
        // so no other child inherits them).
        host::FileDescriptor child_in, child_out, child_err;
        if (options.on_terminal) {
            output_ = host::FileDescriptor(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
            if (!output_.valid() || ::grantpt(output_.get()) != 0 || ::unlockpt(output_.get()) != 0)
                throw std::runtime_error("pseudo-terminal");
            child_out = host::FileDescriptor(::open(::ptsname(output_.get()), O_RDWR | O_NOCTTY | O_CLOEXEC));
            winsize size{};
            size.ws_row = 25;
            size.ws_col = 80;
            ::ioctl(child_out.get(), TIOCSWINSZ, &size);
        } else {
            if (options.input_pipe) {
                auto [read_end, write_end] = pipe_pair();
                child_in = std::move(read_end);
                input_ = std::move(write_end);
            } else {
                child_in = host::FileDescriptor(::open("/dev/null", O_RDONLY | O_CLOEXEC));
            }
            if (options.stdout_file.empty()) {
                auto [read_end, write_end] = pipe_pair();
                output_ = std::move(read_end);
                child_out = std::move(write_end);
            } else {
                child_out = open_for_output(options.stdout_file);
            }
        }
        if (!options.stderr_file.empty())
            child_err = open_for_output(options.stderr_file);

        pid_ = ::fork();
        if (pid_ < 0)
            throw std::runtime_error("fork failed");
        if (pid_ == 0) {
            // Only async-signal-safe calls between fork and exec.
            if (options.on_terminal) {
                ::setsid();
                ::ioctl(child_out.get(), TIOCSCTTY, 0);
                ::dup2(child_out.get(), STDIN_FILENO);
            } else {
                ::dup2(child_in.get(), STDIN_FILENO);
            }
            ::dup2(child_out.get(), STDOUT_FILENO);
            if (child_err.valid())
                ::dup2(child_err.get(), STDERR_FILENO);
            if (!options.directory.empty() && ::chdir(options.directory.c_str()) != 0)
                ::_exit(126);
            ::execve(argv[0], argv.data(), envp.data());
            ::_exit(127);
        }
        if (output_.valid())
            ::fcntl(output_.get(), F_SETFL, ::fcntl(output_.get(), F_GETFL) | O_NONBLOCK);
    }

    ~ChildProcess() { stop(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const noexcept { return pid_; }
    bool running() const noexcept { return pid_ > 0; }

    // The exit code (128 + signal when killed), or nothing when the child is
    // still running after the limit. Output on a pipe or terminal is taken
    // meanwhile, so a child never blocks on a full pipe.
    std::optional<int> wait_exit(std::chrono::milliseconds limit)
    {
        const auto until = Clock::now() + limit;
        for (;;) {
            if (pid_ <= 0)
                return exit_code_;
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                return exit_code_;
            }
            if (Clock::now() >= until)
                return std::nullopt;
            wait_for_output(std::chrono::milliseconds(10));
        }
    }

    void signal(int number) const
    {
        if (pid_ > 0)
            ::kill(pid_, number);
    }

    // SIGTERM (and SIGCONT, should the child be stopped), a grace period,
    // then SIGKILL; always reaps.
    void stop()
    {
        if (pid_ <= 0)
            return;
        ::kill(pid_, SIGTERM);
        ::kill(pid_, SIGCONT);
        if (wait_exit(std::chrono::seconds(3)))
            return;
        ::kill(pid_, SIGKILL);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        exit_code_ = 128 + SIGKILL;
    }

    // Output read so far from the pipe or terminal, after taking what comes
    // within `limit` (up to the end of output).
    const std::string& read_output(std::chrono::milliseconds limit)
    {
        const auto until = Clock::now() + limit;
        while (take_output()) {
            const auto now = Clock::now();
            if (now >= until || !wait_for_output(std::chrono::duration_cast<std::chrono::milliseconds>(until - now)))
                break;
        }
        return output_text_;
    }

    // The first line of output, waiting up to `limit` for it.
    std::optional<std::string> first_line(std::chrono::milliseconds limit)
    {
        const auto until = Clock::now() + limit;
        for (;;) {
            const bool open = take_output();
            const auto newline = output_text_.find('\n');
            if (newline != std::string::npos)
                return output_text_.substr(0, newline);
            const auto now = Clock::now();
            if (!open || now >= until ||
                !wait_for_output(std::chrono::duration_cast<std::chrono::milliseconds>(until - now)))
                return std::nullopt;
        }
    }

    // Writes to the child's standard input (its pipe or terminal).
    void write_input(std::string_view bytes) const
    {
        const int fd = input_.valid() ? input_.get() : output_.get();
        if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
            throw std::runtime_error("write to the child's input");
    }

    // Ends the child's standard input (end of file on its pipe).
    void close_input() { input_.reset(); }

private:
    static std::pair<host::FileDescriptor, host::FileDescriptor> pipe_pair()
    {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe");
        return {host::FileDescriptor(ends[0]), host::FileDescriptor(ends[1])};
    }

    static host::FileDescriptor open_for_output(const std::filesystem::path& path)
    {
        host::FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
        if (!fd.valid())
            throw std::runtime_error("cannot create " + path.string());
        return fd;
    }

    // Appends what is waiting; false once the output has ended (or there is none).
    bool take_output()
    {
        if (!output_.valid())
            return false;
        for (;;) {
            char buffer[4096];
            const ssize_t n = ::read(output_.get(), buffer, sizeof buffer);
            if (n > 0) {
                output_text_.append(buffer, static_cast<std::size_t>(n));
                continue;
            }
            return n < 0 && errno == EAGAIN;
        }
    }

    // Waits up to `limit` for output; false when there is no open output to wait on.
    bool wait_for_output(std::chrono::milliseconds limit)
    {
        if (!output_.valid() || output_ended_) {
            ::poll(nullptr, 0, static_cast<int>(limit.count()));
            return false;
        }
        pollfd fd{output_.get(), POLLIN, 0};
        const int ready = ::poll(&fd, 1, static_cast<int>(limit.count()));
        if (ready > 0 && (fd.revents & POLLIN))
            take_output();
        if (ready > 0 && (fd.revents & (POLLHUP | POLLERR)) && !(fd.revents & POLLIN))
            output_ended_ = true;
        return !output_ended_;
    }

    // This process's environment with the given variables set or replaced.
    static std::vector<std::string> merged_environment(const std::vector<std::pair<std::string, std::string>>& settings)
    {
        std::vector<std::string> result;
        for (char** e = environ; *e; ++e) {
            const std::string entry = *e;
            const std::string name = entry.substr(0, entry.find('='));
            bool replaced = false;
            for (const auto& setting : settings)
                replaced = replaced || setting.first == name;
            if (!replaced)
                result.push_back(entry);
        }
        for (const auto& [name, value] : settings)
            result.push_back(name + "=" + value);
        return result;
    }

    pid_t pid_ = -1;
    std::optional<int> exit_code_;
    host::FileDescriptor input_;
    host::FileDescriptor output_;
    bool output_ended_ = false;
    std::string output_text_;
};

}  // namespace qk_test
