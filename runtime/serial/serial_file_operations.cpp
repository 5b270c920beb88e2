// The serial branches of the file-number operations: print output, INPUT$,
// INPUT_VARS line reads, LOC and EOF. Failures are raised with the caller's site.

#include "runtime/core/error.h"
#include "runtime/core/error_state.h"
#include "runtime/serial/serial_device.h"

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
        RAISE_ERROR(err::kBadFileMode, site);
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
        RAISE_ERROR(err::kBadFileMode, site);
    return receive_count() == 0;
}

// Never waits: a byte that a count promised and a lost line took away is
// simply not there, so no caller can hang on it.
std::string SerialDevice::take_input(std::size_t limit, std::uint16_t site)
{
    if (!reads_input())
        RAISE_ERROR(err::kBadFileMode, site);
    std::string taken;
    if (!port_ || !line_present())
        return taken;
    while (taken.size() < limit) {
        if (port_->held() == 0 && port_->receive_count() == 0)
            break;
        std::uint8_t received = 0;
        if (port_->held() == 0 || port_->read(&received, 1).count != 1)
            break;
        if (config_->trace)
            config_->trace->received(std::string_view(reinterpret_cast<const char*>(&received), 1));
        if (const std::optional<std::uint8_t> byte = received_byte(received))
            taken.push_back(static_cast<char>(*byte));
    }
    note_held();
    return taken;
}

std::string SerialDevice::read(std::uint32_t count, std::uint16_t site)
{
    if (!reads_input())
        RAISE_ERROR(err::kBadFileMode, site);
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
        RAISE_ERROR(err::kBadFileMode, site);
    std::string line;
    std::uint16_t error = 0;
    if (!read_line(line, error))
        raise_transfer_error(error, site, port_ ? &*port_ : nullptr);
    return line;
}

}  // namespace rt
