// One serial port opened exclusively: any tty path (/dev/ttyS*, /dev/ttyUSB*,
// /dev/serial/by-id/..., a pseudo-terminal's slave side).
//
// Exclusive means flock(LOCK_EX | LOCK_NB) on the open file plus TIOCEXCL; root
// bypasses TIOCEXCL, so the lock is what keeps two programs apart. The lock
// goes with the descriptor, which this object owns and closes.
//
// Operations: line settings, queue sizes, total time-outs, read and write,
// the error word with the receive count, modem status, DTR, purge. A
// pseudo-terminal has no error counters and no modem lines (ENOTTY): it
// reports no line errors, and every modem line reads as off.
//
// A line that hung up can be closed and opened again at the same path
// (disconnect(), reconnect()): the settings, queue sizes and time-outs in force
// are applied to the new descriptor, so the port carries on as it was.
//
// Bytes are read from the driver ahead of the caller's reads, as many as have
// arrived, in one system call: a receive-count query reads them into the
// port's buffer, and reads take them from there, so taking a reply byte by
// byte costs one read(2) per arrival rather than one per byte plus a count.
// The receive count is what the buffer holds plus what the driver still has.
//
// A wait for bytes that may last (wait_and_read_ahead) is one blocking read on
// a second descriptor of the same tty, which returns with the first byte or
// after the termios read wait: no poll and no timer of its own a wait.
//
// A network port path (rfc2217://HOST:PORT, socket://HOST:PORT, see
// network_port.h) opens a connection instead of a tty: its descriptor is a
// socket that the connection's thread feeds, a lost connection reads as a
// hang-up, the line settings go to the server, and it has no error counters
// and no modem lines. reconnect() looks for the server without holding the
// caller: an attempt still being made is carried over to the next call.
//
// Not thread-safe, except that fd() may be polled by a reader thread while the
// program thread uses the port (a reader must be stopped before disconnect()).
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "host/file_descriptor.h"
#include "host/network_port.h"
#include "host/serial_line_settings.h"

namespace host {

// Bits of the port's error word, which the runtime maps to its error numbers
// (serial line errors).
namespace serial_error_bit {
inline constexpr std::uint32_t kReceiveOverrun = 0x0001;   // driver's receive buffer overflowed
inline constexpr std::uint32_t kHardwareOverrun = 0x0002;  // UART overrun
inline constexpr std::uint32_t kParity = 0x0004;
inline constexpr std::uint32_t kFraming = 0x0008;
inline constexpr std::uint32_t kBreak = 0x0010;
inline constexpr std::uint32_t kTransmitFull = 0x0100;
inline constexpr std::uint32_t kDeviceIo = 0x0400;         // transfer failed, or the line hung up
// Printer lines of the same word; no serial port sets them.
inline constexpr std::uint32_t kDeviceNotSelected = 0x0800;
inline constexpr std::uint32_t kOutOfPaper = 0x1000;
}  // namespace serial_error_bit

struct SerialModemStatus {
    bool cts = false;
    bool dsr = false;
    bool ring = false;
    bool dcd = false;
};

// The outcome of one read or write: `error` is 0 or an errno value; `count`
// is what was moved either way. A time-out is not an error: the count is short.
struct SerialTransfer {
    int error = 0;
    std::size_t count = 0;
};

enum class SerialWait { Readable, TimedOut, HungUp };

// Bytes one read from the driver takes at most.
inline constexpr std::size_t kSerialReadAheadBytes = 4096;
// The longest wait of wait_and_read_ahead().
inline constexpr std::chrono::milliseconds kSerialReadWait{kSerialReadWaitTenths * 100};

class SerialPort {
public:
    // Opens `path` for reading and writing, exclusively. On failure returns
    // nothing and sets `error` to the errno value (EWOULDBLOCK: held by another
    // program; kSessionTerminalError: some session's controlling terminal; ENOENT: absent;
    // ENOTTY: not a terminal), or for a network port an errno or
    // network_error value (ECONNREFUSED, ETIMEDOUT, HostNotFound...). The
    // path is followed afresh at every open.
    static std::optional<SerialPort> open(const std::string& path, int& error);
    // A port at `path` whose device is gone for now: it acts as hung up, and
    // settings written meanwhile are applied by the reconnect() that finds it back.
    static SerialPort disconnected(const std::string& path);

    SerialPort(SerialPort&& other) noexcept = default;
    SerialPort& operator=(SerialPort&& other) = delete;  // would close without releasing TIOCEXCL first
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;
    ~SerialPort();

    int fd() const noexcept { return fd_.get(); }  // -1 while disconnected
    const std::string& path() const noexcept { return path_; }

    // Closes the descriptor (the line hung up or the device went away), keeping
    // the path, settings and time-outs. A USB adapter plugged in again gets its
    // old device name back only once every descriptor of the old one is closed.
    // Until reconnect() succeeds the port acts as hung up.
    void disconnect() noexcept;
    bool connected() const noexcept { return fd_.valid(); }
    // Opens the same path again as open() does and applies the settings in
    // force. False with the errno value in `error` while the port is not back.
    bool reconnect(int& error);

    // The settings in force: the last ones written, else those read from termios.
    std::optional<SerialLineSettings> read_settings();
    // Applies the settings (termios, then RTS and DTR). False with errno when
    // the driver refuses them; the previous settings then stay in force.
    bool write_settings(const SerialLineSettings& settings);
    // Why the last write_settings() to a network port's server failed
    // (network_error::kSettingsRefused, or an errno value); 0 when it did not.
    int settings_error() const noexcept { return settings_error_; }

    // Queue sizes requested of the driver. Linux sizes its buffers itself, so
    // the request is recorded only.
    bool setup_queues(std::uint32_t receive_bytes, std::uint32_t transmit_bytes) noexcept;
    std::uint32_t receive_queue_request() const noexcept { return receive_queue_; }
    std::uint32_t transmit_queue_request() const noexcept { return transmit_queue_; }

    // Total time-outs of one read and one write, in milliseconds.
    void set_timeouts(std::uint32_t read_total_ms, std::uint32_t write_total_ms) noexcept;
    std::uint32_t read_timeout_ms() const noexcept { return read_total_ms_; }
    std::uint32_t write_timeout_ms() const noexcept { return write_total_ms_; }

    // Reads up to `length` bytes, waiting up to the read time-out for the first.
    SerialTransfer read(std::uint8_t* data, std::size_t length);
    // Writes `length` bytes, waiting up to the write time-out for room.
    SerialTransfer write(const std::uint8_t* data, std::size_t length);

    // Clears and returns the error word: line errors counted by the driver
    // since the last call, failed transfers, and DeviceIo while hung up.
    std::uint32_t take_errors();
    // Bytes received and not yet read: those read ahead plus those still in
    // the driver's queue (which this reads ahead without waiting). Held bytes
    // not yet counted are counted without a system call: a caller that takes
    // what it is told of (count, take, count, take) reads the driver only once
    // they are gone; counting again without taking reads ahead as well.
    std::int32_t receive_count() noexcept;
    // Bytes read ahead of the caller, taken by the next reads without a system call.
    std::size_t held() const noexcept { return ahead_end_ - ahead_begin_; }
    // Takes every byte received so far without waiting, at most `limit`, and
    // returns them: what is held and what the driver has queued.
    std::string discard_input(std::size_t limit);
    // Waits up to `timeout` for a byte to arrive (at once when one is held). HungUp returns only after
    // the whole timeout, so callers looping on it do not spin.
    SerialWait wait_for_input(std::chrono::nanoseconds timeout);
    // Waits up to kSerialReadWait for bytes, reading ahead what arrives: at
    // once when bytes are held, as soon as the first byte comes otherwise.
    SerialWait wait_and_read_ahead();
    bool hung_up() const noexcept { return hung_up_; }

    SerialModemStatus modem_status() noexcept;
    void drop_dtr() noexcept;
    // Discards both queues (pending output and unread input, held bytes too).
    void purge() noexcept;

private:
    explicit SerialPort(std::string path)
        : path_(std::move(path)),
          network_address_(parse_network_port_path(path_)),
          ahead_(std::make_unique_for_overwrite<std::uint8_t[]>(kSerialReadAheadBytes))
    {
    }
    int open_descriptor();  // 0 or an errno value
    // Opens a network port's connection, waiting at most `wait` for it; an
    // attempt still under way is kept for the next call. 0 or an error value.
    int open_network(std::chrono::milliseconds wait);
    void close_descriptor() noexcept;
    void note_failure(int error) noexcept;
    bool wait_for(short events, std::chrono::steady_clock::time_point deadline);
    // One read(2) without waiting of what the driver has, into the free end
    // of the buffer; its result as read(2) gives it (errno on -1).
    long read_ahead() noexcept;
    long read_ahead_from(int fd) noexcept;
    std::size_t take_held(std::uint8_t* data, std::size_t length) noexcept;
    void drop_held() noexcept;

    FileDescriptor fd_;
    FileDescriptor wait_fd_;  // the same tty, blocking, for wait_and_read_ahead(); -1 when it would not open
    std::string path_;
    std::optional<SerialLineSettings> settings_;
    std::optional<NetworkPortAddress> network_address_;  // set for a network port path
    std::unique_ptr<NetworkPort> network_;               // its connection, connected or being made
    std::chrono::steady_clock::time_point network_attempt_start_{};
    int settings_error_ = 0;
    std::unique_ptr<std::uint8_t[]> ahead_;  // bytes read from the driver: [ahead_begin_, ahead_end_) not yet taken
    std::size_t ahead_begin_ = 0;
    std::size_t ahead_end_ = 0;
    bool held_counted_ = false;  // receive_count() reported the held bytes and none was taken since
    std::uint32_t receive_queue_ = 0;
    std::uint32_t transmit_queue_ = 0;
    std::uint32_t read_total_ms_ = 0;
    std::uint32_t write_total_ms_ = 0;
    std::uint32_t pending_errors_ = 0;
    bool hung_up_ = false;
    bool exclusive_ = false;  // TIOCEXCL set by this object
    bool has_counters_ = false;
    struct Counters {
        int frame = 0, overrun = 0, parity = 0, brk = 0, buf_overrun = 0;
    } counters_;
};

}  // namespace host
