// gpsim run as a child in its own process group, its command line on a pipe
// and its console output (standard output and error) on another. gpsim
// ignores SIGINT (it halts and waits for commands) and keeps running at the
// end of its input, so the destructor ends the whole group with SIGKILL and
// reaps the child, and the kernel kills the child should the bridge die
// without that. A program that cannot be started shows as gpsim ending at
// once, with "cannot start PROGRAM" on the console.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>
#include <vector>

#include "host/file_descriptor.h"

namespace bridge {

class GpsimProcess {
public:
    // Starts `program` with `arguments`; throws std::system_error when no
    // process can be made.
    GpsimProcess(const std::string& program, const std::vector<std::string>& arguments);
    ~GpsimProcess();
    GpsimProcess(const GpsimProcess&) = delete;
    GpsimProcess& operator=(const GpsimProcess&) = delete;

    // Writes command text (lines ending in '\n'), taking the console output
    // into `output` meanwhile, so that gpsim never waits on a full console
    // while this waits on its full input; throws std::runtime_error when
    // gpsim no longer reads.
    void send(std::string_view text, std::string& output);

    // The console output descriptor (non-blocking), for poll().
    int output() const noexcept { return output_.get(); }

    // Appends what the console has written so far to `text`; false once the
    // console has closed (gpsim ended).
    bool read_output(std::string& text);

    pid_t pid() const noexcept { return pid_; }

private:
    pid_t pid_ = -1;
    host::FileDescriptor input_;
    host::FileDescriptor output_;
};

}  // namespace bridge
