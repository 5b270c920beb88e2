// The real ser2net (Debian's) sharing a pseudo-terminal on 127.0.0.1, as a
// lab rack's port server shares a board's serial port: RFC 2217 (telnet with
// com-port control) or raw TCP, on a free TCP port. Ready once it listens
// (seen in /proc/net/tcp, so no probing connection opens the line); stop()
// and start() kill and restart it on the same TCP port.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

#include "host/file_descriptor.h"
#include "tests/support/child_process.h"
#include "tests/support/scratch_directory.h"
#include "tests/support/wait_until.h"

namespace qk_test {

// Telnet: telnet without com-port control, a server that cannot take line settings.
enum class PortProtocol { Rfc2217, RawTcp, Telnet };

class PortServer {
public:
    PortServer(const ScratchDirectory& directory, const std::filesystem::path& device, PortProtocol protocol)
        : directory_(directory), protocol_(protocol), tcp_port_(free_tcp_port())
    {
        // The pty has no modem lines: "local" keeps the server from waiting on carrier detect.
        const std::string accepter = protocol == PortProtocol::Rfc2217 ? "telnet(rfc2217),tcp"
                                     : protocol == PortProtocol::Telnet ? "telnet,tcp"
                                                                        : "tcp";
        directory.write("ser2net.yaml", "connection: &board\n  accepter: " + accepter + ",127.0.0.1," +
                                            std::to_string(tcp_port_) + "\n  connector: serialdev," +
                                            std::filesystem::canonical(device).string() + ",9600n81,local\n");
        start();
    }

    // "rfc2217://127.0.0.1:PORT" (for Telnet too) or "socket://127.0.0.1:PORT".
    std::string url() const
    {
        return std::string(protocol_ == PortProtocol::RawTcp ? "socket" : "rfc2217") + "://127.0.0.1:" +
               std::to_string(tcp_port_);
    }

    // Kills the server (its connections drop at once) and waits until it is gone.
    void stop()
    {
        if (!process_)
            return;
        process_->signal(SIGKILL);
        (void)process_->wait_exit(std::chrono::seconds(10));
        process_.reset();
        if (!wait_until([&] { return !listening(); }, std::chrono::seconds(10)))
            throw std::runtime_error("ser2net still listens after its end");
    }

    void start()
    {
        ChildOptions o;
        o.program = SER2NET_PATH;  // defined by the tests that use this server
        o.arguments = {"-n", "-u", "-c", (directory_ / "ser2net.yaml").string(), "-P",
                       (directory_ / "ser2net.pid").string()};
        o.directory = directory_.path();
        o.stdout_file = directory_ / "ser2net.out";
        o.stderr_file = directory_ / "ser2net.err";  // "Unable to start mdns" lands here, harmlessly
        process_.emplace(o);
        if (!wait_until([&] { return listening(); }, std::chrono::seconds(20)))
            throw std::runtime_error("ser2net did not listen: " + directory_.read("ser2net.err"));
    }

    int tcp_port() const noexcept { return tcp_port_; }

private:
    // A port the kernel has just handed out and taken back: free for the server.
    static int free_tcp_port()
    {
        host::FileDescriptor probe(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (!probe.valid() || ::bind(probe.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::getsockname(probe.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0)
            throw std::runtime_error("no free TCP port");
        return ntohs(address.sin_port);
    }

    // Whether a socket listens on 127.0.0.1 at the port (state 0A in /proc/net/tcp).
    bool listening() const
    {
        char wanted[32];
        std::snprintf(wanted, sizeof wanted, "0100007F:%04X 00000000:0000 0A", tcp_port_);
        std::FILE* table = std::fopen("/proc/net/tcp", "r");
        if (!table)
            return false;
        bool found = false;
        char line[512];
        while (!found && std::fgets(line, sizeof line, table))
            found = std::string(line).find(wanted) != std::string::npos;
        std::fclose(table);
        return found;
    }

    const ScratchDirectory& directory_;
    PortProtocol protocol_;
    int tcp_port_;
    std::optional<ChildProcess> process_;
};

}  // namespace qk_test
