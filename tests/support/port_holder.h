// Another program holding a port: flock(1) opens the path and holds its
// lock (exclusive, not waiting) until this object releases it or is destroyed.
#pragma once

#include <chrono>
#include <string>

#include "tests/support/child_process.h"

namespace qk_test {

class PortHolder {
public:
    explicit PortHolder(const std::string& path)
        // flock runs the shell once it holds the lock and keeps the lock while
        // the shell waits for the end of its input.
        : holder_(ChildOptions{.program = "/bin/sh",
                               .arguments = {"-c", "exec flock --exclusive --nonblock \"$0\" sh -c 'echo holding; read x'",
                                             path},
                               .input_pipe = true})
    {
        holding_ = holder_.first_line(std::chrono::seconds(30)) == "holding";
    }
    ~PortHolder() { release(); }
    PortHolder(const PortHolder&) = delete;
    PortHolder& operator=(const PortHolder&) = delete;

    bool holding() const noexcept { return holding_; }

    // Ends the holder, which releases the port.
    void release()
    {
        holder_.close_input();
        holder_.wait_exit(std::chrono::seconds(30));
        holder_.stop();
    }

private:
    ChildProcess holder_;
    bool holding_ = false;
};

}  // namespace qk_test
