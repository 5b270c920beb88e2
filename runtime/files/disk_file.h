// An open disk file: a device of the device table (slots 15..270).
//
// Text conventions: lines end with CR LF; output and append files receive one
// 0x1A at close, and append drops a trailing 0x1A at open so the next write
// overwrites it. Writes go to the file at once, one system write per output,
// with no buffering in the program, so every completed write survives a crash.
// Reads and writes address the file by the position in the state block, never
// by a descriptor offset, so position and file always agree.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "runtime/files/device.h"
#include "runtime/files/field_parser.h"
#include "host/file_descriptor.h"

namespace rt {

struct DiskOpenRequest {
    std::string path;  // full host path
    std::int16_t mode = 1;
    std::int16_t share = 3;
    std::uint16_t record_length = 256;
};

class DiskFile final : public Device {
public:
    // Opens or creates the file as the disk open table's row for the mode
    // says. Raises 7 (no memory) or the mapped system error; nothing is left
    // allocated or open then.
    static std::unique_ptr<DiskFile> open(const DiskOpenRequest& request, std::uint16_t site);
    ~DiskFile() override;

    DeviceClass device_class() const noexcept override { return DeviceClass::Disk; }
    void write(std::string_view bytes, std::uint16_t site) override;
    std::int32_t loc(std::uint16_t site) override;
    bool eof(std::uint16_t site) override;
    std::string read(std::uint32_t count, std::uint16_t site) override;
    // Writes the closing 0x1A for output and append files, then releases the file.
    void close() noexcept override;

    // One field for the input statement, raw (quotes kept). Raises 51 unless
    // the file is open for input, 54 at the end, 58 for an empty numeric field.
    std::string read_field(FieldTarget target, std::uint16_t site);

private:
    DiskFile() = default;
    host::FileDescriptor fd_;
};

}  // namespace rt
