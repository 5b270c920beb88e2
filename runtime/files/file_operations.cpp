#include "runtime/files/file_operations.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "runtime/core/error.h"
#include "runtime/core/string_descriptor.h"
#include "runtime/core/string_ops.h"
#include "runtime/files/device_table.h"
#include "runtime/files/disk_file.h"
#include "runtime/files/disk_path.h"
#include "runtime/files/file_sites.h"
#include "runtime/files/open_specification.h"

namespace rt {

namespace {

constexpr std::size_t kMaxKillNameLength = 255;

}  // namespace

std::int16_t FILE_EOF(std::int32_t file_number)
{
    return DeviceTable::current().open_device(file_number, file_site::kEof).eof(file_site::kEof) ? kTrue : kFalse;
}

std::int32_t LOC(std::int32_t file_number)
{
    return DeviceTable::current().open_device(file_number, file_site::kLoc).loc(file_site::kLoc);
}

std::string take_waiting_input(std::int32_t file_number, std::size_t limit)
{
    return DeviceTable::current().open_device(file_number, file_site::kLoc).take_input(limit, file_site::kLoc);
}

std::uint32_t line_changes(std::int32_t file_number)
{
    return DeviceTable::current().open_device(file_number, file_site::kLoc).line_changes();
}

void INPUT_S(std::int32_t count, std::int32_t file_number)
{
    Device& device = DeviceTable::current().open_device(file_number, file_site::kInputString);
    if (count < 0)
        RAISE_ERROR(err::kIllegalArgument, file_site::kInputString);
    const std::string bytes = device.read(static_cast<std::uint32_t>(count), file_site::kInputString);
    push_temp(bytes);
}

void KILL()
{
    std::string name;
    {
        PoppedString popped;
        name = std::string(popped.view());
    }
    if (name.size() > kMaxKillNameLength)
        RAISE_ERROR(err::kBadFileName, file_site::kKill);
    if (find_fixed_device(name) != kFirstDiskSlot)
        RAISE_ERROR(err::kBadFileName, file_site::kKill);
    const std::string path = resolve_disk_path(name);
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode))
        RAISE_ERROR(err::kFileNotFound, file_site::kKill);
    if (DeviceTable::current().is_open_disk_path(path))
        RAISE_ERROR(err::kFileAlreadyOpen, file_site::kKill);
    if (::unlink(path.c_str()) != 0)
        RAISE_ERROR(API_ERROR(errno), file_site::kKill);
}

bool file_ends_inside_line(std::int32_t file_number)
{
    auto* file = dynamic_cast<DiskFile*>(&DeviceTable::current().open_device(file_number, file_site::kLoc));
    return file && file->ends_inside_line();
}

bool file_replaced_on_disk(std::int32_t file_number)
{
    auto* file = dynamic_cast<DiskFile*>(&DeviceTable::current().open_device(file_number, file_site::kLoc));
    return file && file->replaced_on_disk();
}

bool read_utf8_as_shift_jis(std::int32_t file_number)
{
    auto* file = dynamic_cast<DiskFile*>(&DeviceTable::current().open_device(file_number, file_site::kInputFromFile));
    return file && file->take_utf8_as_shift_jis(file_site::kInputFromFile);
}

std::uint32_t input_position(std::int32_t file_number)
{
    auto* file = dynamic_cast<DiskFile*>(&DeviceTable::current().open_device(file_number, file_site::kLoc));
    return file ? file->position() : 0;
}

std::int32_t input_line_at(std::int32_t file_number, std::uint32_t position)
{
    auto* file = dynamic_cast<DiskFile*>(&DeviceTable::current().open_device(file_number, file_site::kLoc));
    return file ? file->line_at(position, file_site::kLoc) : 0;
}

}  // namespace rt
