// One program run as a child process in a given directory, with its standard
// input from /dev/null and its output in files. The destructor stops the
// child (SIGTERM, then SIGKILL) and reaps it.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace qk14_e2e {

struct ChildOptions {
    std::filesystem::path program;
    std::vector<std::string> arguments;
    std::filesystem::path directory;                          // the child's current directory
    std::vector<std::pair<std::string, std::string>> environment;  // set in the child
    std::filesystem::path stdout_file;
    std::filesystem::path stderr_file;
};

class ChildProcess {
public:
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

        pid_ = ::fork();
        if (pid_ < 0)
            throw std::runtime_error("fork failed");
        if (pid_ == 0) {
            // Only async-signal-safe calls between fork and exec.
            if (::chdir(options.directory.c_str()) != 0)
                ::_exit(126);
            const int in = ::open("/dev/null", O_RDONLY);
            const int out = ::open(options.stdout_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int err = ::open(options.stderr_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (in < 0 || out < 0 || err < 0)
                ::_exit(126);
            ::dup2(in, STDIN_FILENO);
            ::dup2(out, STDOUT_FILENO);
            ::dup2(err, STDERR_FILENO);
            ::execve(argv[0], argv.data(), envp.data());
            ::_exit(127);
        }
    }

    ~ChildProcess() { stop(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const noexcept { return pid_; }
    bool running() const noexcept { return pid_ > 0; }

    // The exit code (128 + signal when killed), or nothing when the child is
    // still running after the limit.
    std::optional<int> wait_exit(std::chrono::milliseconds limit)
    {
        const auto until = std::chrono::steady_clock::now() + limit;
        for (;;) {
            if (pid_ <= 0)
                return exit_code_;
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                return exit_code_;
            }
            if (std::chrono::steady_clock::now() >= until)
                return std::nullopt;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
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

private:
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
};

}  // namespace qk14_e2e
