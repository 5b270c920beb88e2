// The serial branches of the file-number operations: print output, INPUT$,
// INPUT_VARS line reads, LOC and EOF. Failures are raised with the caller's site.
#include <chrono>

#include "runtime/core/error.h"
#include "runtime/core/error_state.h"
#include "serial_device.h"

namespace rt {

namespace {

// Raises a transfer's error; when the port went away meanwhile, the report's
// reason line names it.
[[noreturn]] void raise_transfer_error(std::uint16_t error, std::uint16_t site, const host::SerialPort* port)
{
    if (port && (port->hung_up() || !port->connected()))
        RAISE_FILE_ERROR(error, site, ErrorCause{port->path(), 0, false, ErrorCause::Object::SerialPort, true});
    RAISE_ERROR(error, site);
}

}  // namespace

void SerialDevice::write(std::string_view bytes, std::uint16_t site)
{
    if (!writes_output())
        RAISE_ERROR(err::BadFileMode, site);
    if (bytes.empty())
        return;
    std::uint16_t error = 0;
    if (!write_bytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), error))
        raise_transfer_error(error, site, port_ ? &*port_ : nullptr);
}

std::int32_t SerialDevice::loc(std::uint16_t /*site*/)
{
    return receive_count();
}

bool SerialDevice::eof(std::uint16_t site)
{
    if (!reads_input())
        RAISE_ERROR(err::BadFileMode, site);
    return receive_count() == 0;
}

// Bytes and time one discard takes at most, so a babbling line cannot hold the program.
constexpr std::size_t kDiscardLimit = 64 * 1024;
constexpr std::chrono::seconds kDiscardTimeLimit{2};

std::int32_t SerialDevice::discard_input(std::chrono::milliseconds quiet, std::uint16_t site)
{
    if (!reads_input())
        RAISE_ERROR(err::BadFileMode, site);
    if (!port_ || !line_present())
        return 0;
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    Clock::time_point last_byte = start;
    std::size_t total = 0;
    for (;;) {
        const std::string dropped = port_->discard_input(kDiscardLimit - total);
        const Clock::time_point now = Clock::now();
        if (!dropped.empty()) {
            total += dropped.size();
            last_byte = now;
            if (config_->trace)
                config_->trace->received(dropped, now);
        }
        const auto quiet_left = last_byte + quiet - now;
        if (quiet_left <= Clock::duration::zero() || total >= kDiscardLimit || now - start >= kDiscardTimeLimit ||
            !port_->connected())
            break;
        pump_step();
        (void)port_->wait_for_input(quiet_left);
    }
    note_held();
    return static_cast<std::int32_t>(total);
}

std::string SerialDevice::read(std::uint32_t count, std::uint16_t site)
{
    if (!reads_input())
        RAISE_ERROR(err::BadFileMode, site);
    std::string bytes;
    bytes.reserve(count < 4096 ? count : 4096);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint8_t byte = 0;
        std::uint16_t error = 0;
        if (!read_byte(byte, error))
            raise_transfer_error(error, site, port_ ? &*port_ : nullptr);
        bytes.push_back(static_cast<char>(byte));
    }
    return bytes;
}

std::string SerialDevice::read_line(std::uint16_t site)
{
    if (!reads_input())
        RAISE_ERROR(err::BadFileMode, site);
    std::string line;
    std::uint16_t error = 0;
    if (!read_line(line, error))
        raise_transfer_error(error, site, port_ ? &*port_ : nullptr);
    return line;
}

}  // namespace rt
