// A serial port on another machine, shared over TCP by a port server:
// "rfc2217://HOST:PORT" (telnet with RFC 2217 com-port control: the line
// settings are sent to the server) or "socket://HOST:PORT" (raw TCP: the line
// settings are the server's).
//
// The connection runs on a thread of its own, libgensio's event loop, which
// copies bytes between the TCP connection and one end of a socket pair. The
// other end is the descriptor the program's SerialPort reads and writes, so
// its waits, read-ahead and the reader thread's arrival events work as on a
// tty. A lost connection shuts the socket pair down: the program's end reads
// end of file, which is a hang-up.
//
// Every call from the program waits a bounded time on the loop thread: a
// server that never answers a request (a pseudo-terminal behind it has no
// modem lines, so modem line requests are never acknowledged) cannot hold
// the program.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "host/file_descriptor.h"
#include "host/serial_line_settings.h"

namespace host {

// Reasons a network port fails that have no errno value of their own (the
// others are errno values: ECONNREFUSED, ETIMEDOUT, EHOSTUNREACH, ...).
// Beyond every errno value, so that the error report can tell them apart.
namespace network_error {
inline constexpr int kHostNotFound = 0x10001;     // the name does not resolve
inline constexpr int kSettingsRefused = 0x10002;  // the server refused or ignored the RFC 2217 line settings
inline constexpr int kBadAddress = 0x10003;       // not HOST:PORT after the scheme
}  // namespace network_error

enum class NetworkPortKind { Rfc2217, RawTcp };

struct NetworkPortAddress {
    NetworkPortKind kind = NetworkPortKind::RawTcp;
    std::string host;  // a name, an IPv4 address, or an IPv6 address without its brackets
    std::string port;  // a number or a service name
};

// Whether `path` names a network port (either scheme, any letter case).
bool is_network_port_path(std::string_view path);
// The parts of a network port path; nullopt when HOST:PORT is malformed.
// Options after a '?' are ignored.
std::optional<NetworkPortAddress> parse_network_port_path(std::string_view path);

// How long a connection may take at most. At open the program waits that
// long; when the line is looked for again it waits kNetworkReconnectWait and
// lets an attempt go on until the next look.
inline constexpr std::chrono::milliseconds kNetworkConnectWait{5000};
inline constexpr std::chrono::milliseconds kNetworkReconnectWait{100};
// How long the server has to acknowledge the line settings.
inline constexpr std::chrono::milliseconds kNetworkSettingsWait{1000};

class NetworkPort {
public:
    // Starts connecting (a name is looked up on the connection's thread).
    // nullptr with an errno value in `error` when no thread could be started.
    static std::unique_ptr<NetworkPort> start(const NetworkPortAddress& address, int& error);
    // Waits up to `wait` for the connection: 0 once made, an errno or
    // network_error value when it failed, nullopt while it is still being made.
    std::optional<int> connection(std::chrono::milliseconds wait);
    ~NetworkPort();
    NetworkPort(const NetworkPort&) = delete;
    NetworkPort& operator=(const NetworkPort&) = delete;

    // The program's end of the socket pair (non-blocking); taken once.
    FileDescriptor take_program_end() noexcept;
    // Sends the line settings (RFC 2217 only; raw TCP keeps the server's) and
    // waits for the server to acknowledge speed, data bits, parity and stop
    // bits. 0, or network_error::kSettingsRefused when an answer differs or
    // does not come in time, or an errno value when the connection is gone.
    int apply_settings(const SerialLineSettings& settings);
    // Drops the bytes the loop holds on their way either way, and asks an
    // RFC 2217 server to purge its buffers (without waiting for that).
    void purge();

private:
    struct Loop;
    explicit NetworkPort(std::unique_ptr<Loop> loop);
    std::unique_ptr<Loop> loop_;
};

}  // namespace host
