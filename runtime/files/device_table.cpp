#include "runtime/files/device_table.h"

#include <algorithm>

#include "runtime/core/error.h"
#include "runtime/core/number_text.h"
#include "runtime/core/string_ops.h"
#include "runtime/files/disk_file.h"
#include "runtime/files/disk_path.h"
#include "runtime/files/file_sites.h"
#include "runtime/files/name_pattern.h"
#include "runtime/files/open_mode.h"
#include "runtime/files/printer_device.h"

namespace rt {

namespace {

constexpr std::size_t kMaxOpenTextLength = 255;
constexpr double kMaxRecordLength = 2048;

bool is_printer(int slot) noexcept
{
    return slot >= kFirstPrinterSlot && slot <= kSpecialPrinterSlot;
}

bool is_serial(int slot) noexcept
{
    return slot >= kFirstSerialSlot && slot <= kLastSerialSlot;
}

}  // namespace

DeviceTable::DeviceTable(const ProgramOptions& options)
    : default_record_length_(options.default_record_length), disk_files_disabled_(options.disk_files_disabled)
{
    file_map_.fill(-1);
    file_map_[0] = kScreenSlot;
    for (int slot = kFirstPrinterSlot; slot <= kSpecialPrinterSlot; ++slot)
        slots_[static_cast<std::size_t>(slot)] = std::make_unique<PrinterDevice>(fixed_device_name(slot));
}

DeviceTable::~DeviceTable()
{
    on_terminate();
}

DeviceTable& DeviceTable::current()
{
    return Runtime::current().extension<DeviceTable>();
}

void DeviceTable::register_fixed_device(int slot, std::unique_ptr<Device> device)
{
    if (slot != kKeyboardSlot && slot != kScreenSlot && !is_serial(slot))
        RAISE_ERROR(err::kIllegalArgument, file_site::kOpenDevice);
    slots_[static_cast<std::size_t>(slot)] = std::move(device);
}

void DeviceTable::set_serial_opener(SerialOpener opener)
{
    serial_opener_ = std::move(opener);
}

int DeviceTable::slot_of(std::int32_t file_number) const noexcept
{
    if (file_number < 0 || file_number > 255)
        return -1;
    return file_map_[static_cast<std::size_t>(file_number)];
}

Device* DeviceTable::device_at(int slot) noexcept
{
    if (slot < 0 || slot >= kSlotCount)
        return nullptr;
    return slots_[static_cast<std::size_t>(slot)].get();
}

Device& DeviceTable::open_device(std::int32_t file_number, std::uint16_t site)
{
    if (file_number < 1 || file_number > 255)
        RAISE_ERROR(err::kBadFileNumber, site);
    Device* device = device_at(slot_of(file_number));
    if (!device)
        RAISE_ERROR(err::kFileNotOpen, site);
    return *device;
}

DiskFile* DeviceTable::disk_file_at(int slot) noexcept
{
    if (slot < kFirstDiskSlot)
        return nullptr;
    return static_cast<DiskFile*>(device_at(slot));
}

bool DeviceTable::is_open_disk_path(std::string_view full_path) const noexcept
{
    return std::any_of(slots_.begin() + kFirstDiskSlot, slots_.end(), [&](const std::unique_ptr<Device>& device) {
        return device && same_file_name(device->name(), full_path);
    });
}

void DeviceTable::open(std::string_view open_text, std::int16_t mode, std::int16_t share, std::int32_t file_number)
{
    if (open_text.size() > kMaxOpenTextLength)
        RAISE_ERROR(err::kBadFileName, file_site::kOpenSpecification);
    if (file_number < 1 || file_number > 255)
        RAISE_ERROR(err::kBadFileNumber, file_site::kOpenFileNumber);
    if (file_map_[static_cast<std::size_t>(file_number)] != -1)
        RAISE_ERROR(err::kFileAlreadyOpen, file_site::kOpenAlreadyOpen);
    const ModeAndShare chosen = normalise_mode_and_share(mode, share);
    if (chosen.error != 0)
        RAISE_ERROR(chosen.error, file_site::kOpenMode);
    // The open string ends at a NUL, as the fixed 256-byte copy would.
    const SplitSpecification split = split_open_specification(open_text.substr(0, open_text.find('\0')));
    if (split.error != 0)
        RAISE_ERROR(split.error, file_site::kOpenSplit);
    const DeviceChoice device = choose_device_slot(split.name, split.has_options, split.options);
    if (device.error != 0)
        RAISE_ERROR(device.error, file_site::kOpenPrinterOptions);
    if (device.slot < kFirstDiskSlot)
        open_fixed(device.slot, chosen.mode, split.options, file_number);
    else
        open_disk(split, chosen.mode, chosen.share, file_number);
}

void DeviceTable::open_fixed(int slot, std::int16_t mode, std::string_view options, std::int32_t file_number)
{
    if (slot == kKeyboardSlot && mode != 1)
        RAISE_ERROR(err::kBadFileMode, file_site::kOpenDeviceMode);
    if (slot == kScreenSlot && mode != 2)
        RAISE_ERROR(err::kBadFileMode, file_site::kOpenDeviceMode);
    // This build has no printing: every printer open is refused.
    if (is_printer(slot))
        RAISE_ERROR(err::kBadFileMode, file_site::kOpenDeviceMode);
    if (is_serial(slot)) {
        if (!serial_opener_)
            RAISE_ERROR(err::kDeviceNotFound, file_site::kOpenDevice);
        if (const std::uint16_t error = serial_opener_(slot, mode, options, file_number); error != 0)
            RAISE_ERROR(error, file_site::kOpenDevice);
    } else {
        Device* fixed = device_at(slot);
        if (!fixed)
            RAISE_ERROR(err::kDeviceNotFound, file_site::kOpenDevice);
        fixed->opened(mode);
    }
    file_map_[static_cast<std::size_t>(file_number)] = slot;
}

void DeviceTable::open_disk(const SplitSpecification& split, std::int16_t mode, std::int16_t share,
                            std::int32_t file_number)
{
    const std::string name = apply_drive_number(split.name);
    std::uint16_t record_length = default_record_length_;
    if (split.has_options) {
        const ParsedNumber length = parse_number(split.options);
        if (!length.representable || length.value < 0 || length.value > kMaxRecordLength)
            RAISE_ERROR(err::kIllegalArgument, file_site::kOpenDisk);
        record_length = static_cast<std::uint16_t>(length.value);
    }
    if (disk_files_disabled_)
        RAISE_ERROR(err::kDeviceAccessDisabled, file_site::kOpenDisk);
    if (name.find_first_of("?*") != std::string::npos)
        RAISE_ERROR(err::kBadFileName, file_site::kOpenDisk);
    const auto free_slot = std::find(slots_.begin() + kFirstDiskSlot, slots_.end(), nullptr);
    if (free_slot == slots_.end())
        RAISE_ERROR(err::kTooManyFiles, file_site::kOpenDisk);
    const auto row = disk_open_row(mode);
    if (!row || (split.has_options && !row->options_allowed))
        RAISE_ERROR(err::kBadFileMode, file_site::kOpenDisk);

    *free_slot = DiskFile::open({resolve_disk_path(name), mode, share, record_length}, file_site::kOpenDisk);
    file_map_[static_cast<std::size_t>(file_number)] = static_cast<std::int32_t>(free_slot - slots_.begin());
}

void DeviceTable::close_slot(int slot) noexcept
{
    if (slot < 0 || slot >= kSlotCount || slot == kKeyboardSlot || slot == kScreenSlot || is_printer(slot))
        return;
    auto& device = slots_[static_cast<std::size_t>(slot)];
    if (!device)
        return;
    device->close();
    if (slot >= kFirstDiskSlot)
        device.reset();
}

void DeviceTable::close(std::int32_t file_number)
{
    if (file_number < 1 || file_number > 255)
        RAISE_ERROR(err::kBadFileNumber, file_site::kClose);
    auto& entry = file_map_[static_cast<std::size_t>(file_number)];
    const int slot = std::exchange(entry, -1);
    if (slot != -1)
        close_slot(slot);
}

void DeviceTable::close_all() noexcept
{
    for (std::int32_t number = 1; number <= 255; ++number) {
        const int slot = std::exchange(file_map_[static_cast<std::size_t>(number)], -1);
        if (slot != -1)
            close_slot(slot);
    }
}

void DeviceTable::on_terminate() noexcept
{
    close_all();
    directories_.close_all();
    input_source_.reset();
}

void OPEN(std::int16_t mode, std::int16_t share, std::int32_t file_number)
{
    PoppedString open_text;
    DeviceTable::current().open(open_text.view(), mode, share, file_number);
}

void CLOSE(std::span<const std::int32_t> file_numbers)
{
    DeviceTable& table = DeviceTable::current();
    if (file_numbers.empty()) {
        table.close_all();
        return;
    }
    for (const std::int32_t number : file_numbers)
        table.close(number);
}

}  // namespace rt
