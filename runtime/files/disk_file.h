// An open disk file: a device of the device table (slots 15..270).
//
// Text conventions: lines end with CR LF; output and append files receive one
// 0x1A at close, and append drops a trailing 0x1A at open so the next write
// overwrites it. Writes go to the file at once, one system write per output,
// with no buffering in the program, so every completed write survives a crash.
// Reads and writes address the file by the position in the state block, never
// by a descriptor offset, so position and file always agree. A write that
// fails leaves the file as it was before it (a partial write is cut back).
// Only regular files open: a folder, FIFO or device is refused at once.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "runtime/files/device.h"
#include "runtime/files/field_parser.h"
#include "runtime/files/field_reader.h"
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

    // True when the byte before the position is not a line end (and there is one):
    // the next write would continue an unfinished line.
    bool ends_inside_line();
    // True when the path no longer names the open file (deleted or replaced).
    bool replaced_on_disk() const noexcept;

    // An input file at its start whose text is UTF-8 (it starts with the
    // byte-order mark, or is valid UTF-8 holding a non-ASCII character) is
    // read whole and converted to Shift-JIS, without the mark; the reads then
    // take the converted text. A character Shift-JIS lacks becomes "?".
    // Returns whether the text was converted; other files stay as they are.
    bool take_utf8_as_shift_jis(std::uint16_t site);
    // The line (1 for the first) of the text read that holds byte `position`.
    std::int32_t line_at(std::uint32_t position, std::uint16_t site);
    std::uint32_t position() const noexcept { return state_->position; }

private:
    DiskFile() = default;
    // The bytes the reads take: the file's, or the converted text.
    std::unique_ptr<FieldByteSource> text_source(std::uint16_t site);
    host::FileDescriptor fd_;
    dev_t device_ = 0;
    ino_t inode_ = 0;
    std::optional<std::string> converted_;  // UTF-8 input as Shift-JIS, read instead of the file
};

}  // namespace rt
