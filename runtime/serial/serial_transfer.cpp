// The transfer routines of a serial channel: plain and shift-mode write and
// read, the line error query, the receive count and the serial line read.
#include <chrono>
#include <thread>

#include "runtime/serial/serial_device.h"
#include "runtime/core/error.h"
#include "runtime/serial/serial_line_errors.h"

namespace rt {

namespace {

constexpr std::uint8_t kCarriageReturn = 0x0D;
constexpr std::uint8_t kLineFeed = 0x0A;

}  // namespace

void SerialDevice::pump_step()
{
    if (config_->pump_step)
        config_->pump_step();
}

std::uint16_t SerialDevice::line_error()
{
    if (!port_ || !line_present())
        return 0;
    return map_serial_error_word(port_->take_errors(), parity_check_);
}

std::int32_t SerialDevice::receive_count()
{
    const std::int32_t count = count_received();
    note_held();
    return count;
}

std::int32_t SerialDevice::count_received()
{
    if (!port_)
        return 0;
    // Bytes already read ahead: the queue is not empty, so no pacing.
    if (port_->held() > 0)
        return port_->receive_count();
    using Clock = SerialPollPacer::Clock;
    const bool present = line_present();  // a lost line reads as a silent one below
    if (present && unpaced_until_ != Clock::time_point{}) {
        const Clock::time_point now = Clock::now();
        if (now < unpaced_until_) {
            const std::int32_t count = port_->receive_count();
            if (count == 0 && config_->trace)
                config_->trace->idle(now);
            return count;
        }
        unpaced_until_ = {};
    }
    // Standing for a slice of the last wait, which found the port silent: no
    // system call. A byte arriving meanwhile is seen by the next wait.
    if (pacer_.take_owed_check())
        return 0;
    return wait_for_receive_count();
}

// Waits in the kernel until a byte is there (at once when one already is) or
// the pacing limit, then counts the receive queue.
std::int32_t SerialDevice::wait_for_receive_count()
{
    using Clock = SerialPollPacer::Clock;
    (void)port_->take_errors();  // the count query clears the error word too
    const Clock::time_point start = Clock::now();
    if (pacer_.read_wait_due()) {
        const host::SerialWait wait = port_->wait_and_read_ahead();
        const Clock::time_point end = Clock::now();
        if (wait == host::SerialWait::Readable && port_->held() > 0) {
            pacer_.waited(end - start, true, host::kSerialReadWait);
            return static_cast<std::int32_t>(port_->held());
        }
        pacer_.waited(end - start, false, host::kSerialReadWait);
        if (config_->trace)
            config_->trace->idle(end);
        return 0;
    }
    if (port_->wait_for_input(kSerialPollWaitQuantum) == host::SerialWait::Readable) {
        const std::int32_t count = port_->receive_count();
        if (count > 0) {
            pacer_.waited(Clock::now() - start, true);
            return count;
        }
    }
    const Clock::time_point end = Clock::now();
    pacer_.waited(end - start, false);
    if (config_->trace)
        config_->trace->idle(end);
    return 0;
}

// One platform write of up to `length` bytes. False with the mapped line
// error when the transfer failed; `sent` tells how much went out.
bool SerialDevice::send(const std::uint8_t* bytes, std::size_t length, std::size_t& sent, std::uint16_t& error)
{
    const host::SerialTransfer result = port_->write(bytes, length);
    sent = result.count;
    if (config_->trace)
        traced_output_.append(reinterpret_cast<const char*>(bytes), result.count);
    if (result.error != 0) {
        error = line_error();
        if (error == 0)  // the failed transfer itself is the fault
            error = err::kDeviceFault;
        return false;
    }
    return true;
}

bool SerialDevice::write_plain(const std::uint8_t* bytes, std::size_t length, std::uint16_t& error)
{
    std::size_t done = 0;
    for (;;) {
        pump_step();
        std::size_t sent = 0;
        if (!send(bytes + done, length - done, sent, error))
            return false;
        if (sent < length - done && send_timeout_ != 0) {
            error = err::kDeviceTimeout;
            return false;
        }
        done += sent;
        if (done == length)
            return true;
    }
}

bool SerialDevice::write_shift(const std::uint8_t* bytes, std::size_t length, std::uint16_t& error)
{
    // A single-byte send: a short count is a time-out only with a send time-out.
    auto send_one = [&](std::uint8_t byte) {
        std::size_t sent = 0;
        if (!send(&byte, 1, sent, error))
            return false;
        if (sent != 1 && send_timeout_ != 0) {
            error = err::kDeviceTimeout;
            return false;
        }
        return true;
    };
    for (std::size_t i = 0; i < length; ++i) {
        pump_step();
        const std::uint8_t byte = bytes[i];
        const std::uint8_t wanted = byte >= 0x80 ? kShiftOut : kShiftIn;
        if (write_shift_ != wanted) {
            write_shift_ = wanted;
            if (!send_one(wanted))
                return false;
        }
        if (!send_one(byte))  // the 7-bit line carries the low seven bits
            return false;
    }
    if (!config_->options.keep_shift_state)
        write_shift_ = 0;
    return true;
}

bool SerialDevice::write_bytes(const std::uint8_t* bytes, std::size_t length, std::uint16_t& error)
{
    error = 0;
    if (!port_) {
        error = err::kBadFileMode;
        return false;
    }
    if (length == 0)
        return true;
    if (!line_present())
        return true;  // dropped: the line is gone
    unpaced_until_ = {};
    pacer_.sent();
    traced_output_.clear();
    bool written = shift_mode_ ? write_shift(bytes, length, error) : write_plain(bytes, length, error);
    if (!written && config_->reconnect && !port_->connected()) {
        written = true;  // the line went away during the write: the rest is dropped
        error = 0;
    }
    if (config_->trace)
        config_->trace->sent(traced_output_);
    return written;
}

bool SerialDevice::read_byte(std::uint8_t& byte, std::uint16_t& error)
{
    error = 0;
    if (!port_) {
        error = err::kBadFileMode;
        return false;
    }
    // A byte already read ahead is taken at once; only a read that may wait
    // runs the pump step first.
    if (!port_->held())
        pump_step();
    for (;;) {
        std::uint8_t received = 0;
        host::SerialTransfer result{};
        if (line_present()) {
            result = port_->read(&received, 1);
            note_held();
        } else {  // a lost line is silent for the read time-out
            std::this_thread::sleep_for(std::chrono::milliseconds(port_->read_timeout_ms()));
        }
        if (std::uint16_t line = line_error(); line != 0) {
            error = line;
            return false;
        }
        if (result.count == 1 && config_->trace)
            config_->trace->received(std::string_view(reinterpret_cast<const char*>(&received), 1));
        if (result.count == 1) {
            if (const std::optional<std::uint8_t> given = received_byte(received)) {
                byte = *given;
                return true;
            }  // a shift byte, consumed; the read goes on
        } else if (receive_timeout_ != 0) {
            error = err::kDeviceTimeout;
            return false;
        }
        pump_step();
    }
}

std::optional<std::uint8_t> SerialDevice::received_byte(std::uint8_t received) noexcept
{
    if (!shift_mode_)
        return received;
    if (received == kShiftOut || received == kShiftIn) {
        read_shift_ = received;
        return std::nullopt;
    }
    if (received < 0x20) {
        read_shift_ = kShiftIn;
        return received;
    }
    return read_shift_ == kShiftOut ? static_cast<std::uint8_t>(received | 0x80) : received;
}

bool SerialDevice::read_line(std::string& line, std::uint16_t& error)
{
    line.clear();
    for (;;) {
        std::uint8_t byte = 0;
        if (!read_byte(byte, error))
            return false;
        if (byte == kCarriageReturn)
            return true;
        if (byte == kLineFeed)
            continue;
        if (line.size() < kSerialLineCapacity)
            line.push_back(static_cast<char>(byte));
    }
}

}  // namespace rt
