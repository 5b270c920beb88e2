// The simulator's end of the serial line: a pseudo-terminal master in raw
// mode. The simulator keeps its own descriptor of the slave side open, so a
// client that closes the port does not make the master read end-of-file.
#pragma once

#include <string>

#include "host/file_descriptor.h"

namespace sim {

class PseudoTerminal {
public:
    // Opens the pair; throws std::system_error on failure.
    PseudoTerminal();
    PseudoTerminal(PseudoTerminal&&) noexcept = default;
    PseudoTerminal& operator=(PseudoTerminal&&) noexcept = default;

    int master() const noexcept { return master_.get(); }
    bool open() const noexcept { return master_.valid(); }
    const std::string& slave_path() const noexcept { return slave_path_; }

    // Bytes written to the master that the client has not read yet.
    int unread_by_client() const noexcept;

    // Hangs the line up: the client's reads and writes fail from now on.
    void hang_up() noexcept;

private:
    host::FileDescriptor master_;
    host::FileDescriptor slave_;
    std::string slave_path_;
};

// A symbolic link to the slave side, removed again when the simulator ends
// (only while it still points at this simulator's terminal).
class SlaveLink {
public:
    SlaveLink() = default;
    // Replaces an existing symbolic link at `path`; throws std::system_error.
    SlaveLink(std::string path, std::string target);
    ~SlaveLink();
    SlaveLink(SlaveLink&& other) noexcept;
    SlaveLink& operator=(SlaveLink&& other) noexcept;
    SlaveLink(const SlaveLink&) = delete;
    SlaveLink& operator=(const SlaveLink&) = delete;

private:
    void remove() noexcept;
    std::string path_;
    std::string target_;
};

}  // namespace sim
