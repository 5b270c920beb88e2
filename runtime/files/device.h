// A device record of the device table, with its per-file state block, and the
// operations the print, input and end-of-file paths dispatch to.
//
// Subclasses: the keyboard and screen devices (console), serial channels
// (serial), disk files (files). The operations' defaults raise error 51 (bad
// file mode) with the caller's site code: a device overrides what it supports.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace rt {

// Per-file state block of a file-like device (serial channels, disk files).
struct FileState {
    std::int16_t mode_word = 0;        // disk: open mode 1..10; serial: shared flag
    std::uint32_t length = 0;          // disk: bytes
    std::uint16_t line_width = 0;      // print formatter line width; 0 = never wrap
    std::uint16_t output_column = 0;   // print formatter column
    std::uint32_t position = 0;        // disk: current byte position
    std::unique_ptr<std::uint8_t[]> record_buffer;  // record-mode files only
    std::uint32_t record_counter[2] = {1, 0};
    std::uint16_t record_length = 0;
};

enum class DeviceClass { Keyboard, Screen, Printer, Serial, Disk };

class Device {
public:
    virtual ~Device() = default;

    virtual DeviceClass device_class() const noexcept = 0;
    // Name for slots 0..14, the full path for disk files.
    const std::string& name() const noexcept { return name_; }
    // Disk: open kind 1..8; serial: -1 closed, 1 input, 2 output, 4 both.
    std::int32_t open_kind() const noexcept { return open_kind_; }
    // nullptr for the keyboard and screen devices.
    FileState* state() noexcept { return state_.get(); }

    // Print output (already formatted); one system write per call for disks.
    virtual void write(std::string_view bytes, std::uint16_t site);
    // Bytes waiting to be read (LOC).
    virtual std::int32_t loc(std::uint16_t site);
    // End of input (EOF): true when nothing more can be read.
    virtual bool eof(std::uint16_t site);
    // Reads exactly `count` bytes, waiting as the device defines (INPUT$).
    virtual std::string read(std::uint32_t count, std::uint16_t site);
    // Takes up to `limit` bytes already received, without waiting: none when
    // nothing waits or the line is gone. A device without a receive queue has none.
    virtual std::string take_input(std::size_t /*limit*/, std::uint16_t /*site*/) { return {}; }
    // How many times the device's line went away or came back since it was opened.
    virtual std::uint32_t line_changes() const noexcept { return 0; }
    // Closes the device (CLOSE); must not throw. Nothing to do by default.
    virtual void close() noexcept {}

    // One input line for the input statement's line mode (serial channels):
    // bytes up to CR, the CR not stored.
    virtual std::string read_line(std::uint16_t site);
    // Called by OPEN once a fixed device (keyboard, screen) has been opened on
    // a file number with `mode`; the keyboard empties its key queue here.
    virtual void opened(std::int16_t /*mode*/) {}

protected:
    std::string name_;
    std::int32_t open_kind_ = 0;
    std::unique_ptr<FileState> state_;
};

}  // namespace rt
