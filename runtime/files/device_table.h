// The device table (slots 0..270) and the file-number map (1..255) of the
// running program, with OPEN and CLOSE.
//
// Slot 0 "KYBD:" and 1 "SCRN:" hold the console's devices, 2..9 the printers,
// 10..14 the serial channels COM0: to COM4:, 15..270 open disk files. The
// console and the serial channels register their device objects here; the
// serial channels also register the opener OPEN calls for slots 10..14, so
// this library does not depend on them.
//
// Installed once per program:
//     Runtime::current().install(std::make_unique<DeviceTable>(runtime.options()));
// At termination every open file number is closed (output and append files
// receive their closing 0x1A) and every directory search ends.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <utility>

#include "runtime/core/program_options.h"
#include "runtime/core/runtime.h"
#include "runtime/files/device.h"
#include "runtime/files/directory_search.h"
#include "runtime/files/open_specification.h"

namespace rt {

class DiskFile;

class DeviceTable final : public RuntimeExtension {
public:
    // Opens serial channel `slot` (10..14) with the open mode and the options
    // text ("" when none) for `file_number`; returns 0 or the error number
    // OPEN raises.
    using SerialOpener =
        std::function<std::uint16_t(int slot, int mode, std::string_view options, int file_number)>;

    explicit DeviceTable(const ProgramOptions& options);
    ~DeviceTable() override;

    // The table of the current program (it must be installed).
    static DeviceTable& current();

    // Registers the device object of fixed slot 0, 1 or 10..14.
    void register_fixed_device(int slot, std::unique_ptr<Device> device);
    void set_serial_opener(SerialOpener opener);

    // OPEN with the open string already popped.
    void open(std::string_view open_text, std::int16_t mode, std::int16_t share, std::int32_t file_number);
    // CLOSE of one number (50 outside 1..255; a closed number is no error).
    void close(std::int32_t file_number);
    void close_all() noexcept;

    // File number -> slot; -1 when closed or outside 1..255 (0 gives 1, the screen).
    int slot_of(std::int32_t file_number) const noexcept;
    // Slot -> device; nullptr for an empty slot or one outside 0..270.
    Device* device_at(int slot) noexcept;
    // The open device of a file number: 50 outside 1..255, 57 when not open.
    Device& open_device(std::int32_t file_number, std::uint16_t site);
    // The disk file of a slot, nullptr when the slot holds no disk file.
    DiskFile* disk_file_at(int slot) noexcept;
    // True when an open disk file has this full path (without regard to case).
    bool is_open_disk_path(std::string_view full_path) const noexcept;

    // The device INPUT_FROM_FILE chose for the next input statement.
    void set_input_source(int slot) noexcept { input_source_ = slot; }
    std::optional<int> take_input_source() noexcept { return std::exchange(input_source_, std::nullopt); }
    void clear_input_source() noexcept { input_source_.reset(); }

    DirectoryTable& directories() noexcept { return directories_; }

    void on_terminate() noexcept override;

private:
    void open_fixed(int slot, std::int16_t mode, std::string_view options, std::int32_t file_number);
    void open_disk(const SplitSpecification& split, std::int16_t mode, std::int16_t share, std::int32_t file_number);
    void close_slot(int slot) noexcept;

    std::uint16_t default_record_length_;
    bool disk_files_disabled_;
    std::array<std::unique_ptr<Device>, kSlotCount> slots_;
    std::array<std::int32_t, 256> file_map_;
    SerialOpener serial_opener_;
    std::optional<int> input_source_;
    DirectoryTable directories_;
};

// Runtime operations. OPEN pops the open string from the string stack.
void OPEN(std::int16_t mode, std::int16_t share, std::int32_t file_number);
// Closes the listed numbers; an empty list closes every open number.
void CLOSE(std::span<const std::int32_t> file_numbers);
inline void CLOSE(std::initializer_list<std::int32_t> file_numbers)
{
    CLOSE(std::span<const std::int32_t>(file_numbers.begin(), file_numbers.size()));
}
inline void CLOSE()
{
    CLOSE(std::span<const std::int32_t>{});
}

}  // namespace rt
