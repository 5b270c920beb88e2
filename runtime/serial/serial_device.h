// A serial channel (COM0: .. COM4:, device slots 10..14) as a device of the
// device table: the open by options text with its mode rules and sharing
// between two file numbers, the close, the transfer routines (plain and
// shift mode) and the file-number operations print output, INPUT$,
// INPUT_VARS line reads, LOC and EOF.
//
// The channel record (shift states, time-outs, parity check, reader thread)
// lives here for the life of the program; the port and the reader thread
// exist while the channel is open.
//
// A line that hangs up or whose device goes away (with reconnection on, the
// default) reads as a silent line: the receive count is 0, writes are
// dropped, and the port is reopened at the same path every
// kReconnectInterval with the channel's settings until it is back. The
// reader thread of the lost line is joined before its descriptor is closed,
// and a new one watches the reopened line. With reconnection off, transfers
// on a lost line fail with 53.
//
// Program thread only, except the reader thread, which touches nothing here.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "host/serial_port.h"
#include "runtime/files/device.h"
#include "runtime/files/file_sites.h"
#include "runtime/serial/serial_config.h"
#include "runtime/serial/serial_options.h"
#include "runtime/serial/serial_poll_pacer.h"
#include "runtime/serial/serial_reader.h"

namespace rt {

// Site codes of the serial layer (high byte: operation, low byte: check); OPEN
// and EOF raise under the file-number operations' codes (file_sites.h).
namespace serial_site {
inline constexpr std::uint16_t kPortOpen = 0x1301;  // the system port cannot be opened
inline constexpr std::uint16_t kSetParamChannel = 0x8F01;
inline constexpr std::uint16_t kSetParamSpeed = 0x8F02;
inline constexpr std::uint16_t kSetParamZeroSpeed = 0x8F03;
}  // namespace serial_site

// Open kinds of a serial device record.
namespace serial_kind {
inline constexpr std::int32_t kClosed = -1;
inline constexpr std::int32_t kInput = 1;
inline constexpr std::int32_t kOutput = 2;
inline constexpr std::int32_t kBoth = 4;
}  // namespace serial_kind

// Shift-mode control bytes.
inline constexpr std::uint8_t kShiftOut = 0x0E;  // bytes with bit 7 set follow
inline constexpr std::uint8_t kShiftIn = 0x0F;   // bytes with bit 7 clear follow

// Longest line a serial line read keeps: the capacity of the input
// statement's line buffer. Bytes beyond it, up to the CR, are dropped, so the
// next line read starts at the next line.
inline constexpr std::size_t kSerialLineCapacity = 255;

// How often a lost line is reopened.
inline constexpr std::chrono::milliseconds kReconnectInterval{500};
// After a line came back, empty receive-count checks do not wait until the
// next write, for at most this long: the reply to a request written while the
// line was gone never comes, and its wait should not hold up the first
// request on the returned line. Longer than the longest reply wait (1.3 s).
inline constexpr std::chrono::milliseconds kLostReplyWindow{2000};

// The outcome of an open: error 0 on success, else the error number and the
// site code to raise it with.
struct SerialOpenResult {
    std::uint16_t error = 0;
    std::uint16_t site = file_site::kOpenDevice;
    int system_error = 0;  // the port's open: errno and path, for the report's reason line
    std::string path{};
};

class SerialDevice final : public Device {
public:
    SerialDevice(int channel, std::shared_ptr<SerialConfig> config);
    ~SerialDevice() override;
    SerialDevice(const SerialDevice&) = delete;
    SerialDevice& operator=(const SerialDevice&) = delete;

    DeviceClass device_class() const noexcept override { return DeviceClass::Serial; }
    int channel() const noexcept { return channel_; }

    // The serial open of one file number (mode 1 input, 2 output, 6 both).
    // `options_text` is the text between the parentheses of the device string
    // (empty when it had none).
    SerialOpenResult open(int mode, std::string_view options_text);
    // Closes one file number's use of the channel.
    void close() noexcept override;
    bool is_open() const noexcept { return port_.has_value(); }
    bool is_shared() const noexcept { return state_->mode_word == -1; }

    // COM_SET_PARAM step 3: sets the open port's speed; false when refused.
    bool set_speed(std::uint32_t bits_per_second);

    // File-number operations; failures are raised with `site`.
    void write(std::string_view bytes, std::uint16_t site) override;  // print output
    std::int32_t loc(std::uint16_t site) override;
    bool eof(std::uint16_t site) override;
    std::string read(std::uint32_t count, std::uint16_t site) override;  // INPUT$
    std::string read_line(std::uint16_t site) override;                  // INPUT_VARS
    std::string take_input(std::size_t limit, std::uint16_t site) override;
    std::uint32_t line_changes() const noexcept override { return line_changes_; }

    // Transfer routines: true on success, else false with the error number in
    // `error`. Exposed for the operations above and for tests.
    bool write_bytes(const std::uint8_t* bytes, std::size_t length, std::uint16_t& error);
    bool read_byte(std::uint8_t& byte, std::uint16_t& error);
    bool read_line(std::string& line, std::uint16_t& error);
    // Clears the port's error word and maps it (0: no error).
    std::uint16_t line_error();
    // Bytes in the receive queue; an empty queue waits for a byte for one
    // poll slice on average on a silent line (see serial_poll_pacer.h): one
    // check in a run waits in the kernel, the checks it stood for report the
    // queue empty without a system call. A byte ends a wait at once. 0 when
    // closed.
    std::int32_t receive_count();

    // What the open in force computed and applied.
    const host::SerialLineSettings& line_settings() const noexcept { return settings_; }
    bool shift_mode() const noexcept { return shift_mode_; }
    bool parity_check() const noexcept { return parity_check_; }
    std::uint32_t send_timeout() const noexcept { return send_timeout_; }
    std::uint32_t receive_timeout() const noexcept { return receive_timeout_; }
    std::uint8_t write_shift_state() const noexcept { return write_shift_; }
    std::uint8_t read_shift_state() const noexcept { return read_shift_; }
    bool reader_running() const noexcept { return reader_ && reader_->running(); }
    // The channel's arrival event was armed: the reader watches for bytes again.
    void arrival_event_armed() noexcept
    {
        if (reader_)
            reader_->recheck();
    }
    // False while the line of an open channel is gone (reconnection on).
    bool line_connected() const noexcept { return port_ && port_->connected(); }
    host::SerialPort* port() noexcept { return port_ ? &*port_ : nullptr; }

private:
    std::uint16_t configure(std::string_view options_text);
    std::uint16_t wait_for_modem_lines();
    void release_port() noexcept;
    bool start_reader();
    bool line_present();
    void drop_line();
    void pump_step();
    // Publishes whether the port holds bytes read ahead, for the reader thread.
    void note_held() noexcept { input_held_.store(port_ && port_->held() > 0, std::memory_order_relaxed); }
    std::int32_t count_received();
    std::int32_t wait_for_receive_count();
    // A byte as the channel gives it out: shift-mode control bytes are
    // consumed (nothing), bytes after shift out get bit 7.
    std::optional<std::uint8_t> received_byte(std::uint8_t received) noexcept;
    bool send(const std::uint8_t* bytes, std::size_t length, std::size_t& sent, std::uint16_t& error);
    bool write_plain(const std::uint8_t* bytes, std::size_t length, std::uint16_t& error);
    bool write_shift(const std::uint8_t* bytes, std::size_t length, std::uint16_t& error);
    bool reads_input() const noexcept { return open_kind_ == serial_kind::kInput || open_kind_ == serial_kind::kBoth; }
    bool writes_output() const noexcept { return open_kind_ == serial_kind::kOutput || open_kind_ == serial_kind::kBoth; }

    int channel_;
    std::shared_ptr<SerialConfig> config_;
    std::optional<host::SerialPort> port_;
    std::unique_ptr<SerialReader> reader_;  // declared after port_: destroyed (joined) before it
    host::SerialLineSettings settings_;
    SerialOptions options_;
    SerialPollPacer pacer_;
    SerialPollPacer::Clock::time_point next_reconnect_{};   // next reopen of a lost line
    SerialPollPacer::Clock::time_point unpaced_until_{};    // see kLostReplyWindow
    std::string traced_output_;                             // bytes one write sent, for the trace
    std::atomic<bool> input_held_{false};  // bytes read ahead and not yet taken
    std::uint32_t line_changes_ = 0;  // the line went away or came back
    std::string lost_path_;  // the path of a line that went away and has not come back
    bool shift_mode_ = false;
    bool parity_check_ = false;
    std::uint8_t write_shift_ = 0;
    std::uint8_t read_shift_ = 0;
    std::uint32_t send_timeout_ = 0;
    std::uint32_t receive_timeout_ = 0;
};

}  // namespace rt
