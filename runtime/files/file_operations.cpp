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
    return DeviceTable::current().open_device(file_number, file_site::Eof).eof(file_site::Eof) ? kTrue : kFalse;
}

std::int32_t LOC(std::int32_t file_number)
{
    return DeviceTable::current().open_device(file_number, file_site::Loc).loc(file_site::Loc);
}

std::string take_waiting_input(std::int32_t file_number, std::size_t limit)
{
    return DeviceTable::current().open_device(file_number, file_site::Loc).take_input(limit, file_site::Loc);
}

std::uint32_t line_changes(std::int32_t file_number)
{
    return DeviceTable::current().open_device(file_number, file_site::Loc).line_changes();
}

void INPUT_S(std::int32_t count, std::int32_t file_number)
{
    Device& device = DeviceTable::current().open_device(file_number, file_site::InputString);
    if (count < 0)
        RAISE_ERROR(err::IllegalArgument, file_site::InputString);
    const std::string bytes = device.read(static_cast<std::uint32_t>(count), file_site::InputString);
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
        RAISE_ERROR(err::BadFileName, file_site::Kill);
    if (find_fixed_device(name) != kFirstDiskSlot)
        RAISE_ERROR(err::BadFileName, file_site::Kill);
    const std::string path = resolve_disk_path(name);
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode))
        RAISE_ERROR(err::FileNotFound, file_site::Kill);
    if (DeviceTable::current().is_open_disk_path(path))
        RAISE_ERROR(err::FileAlreadyOpen, file_site::Kill);
    if (::unlink(path.c_str()) != 0)
        RAISE_ERROR(API_ERROR(errno), file_site::Kill);
}

bool file_ends_inside_line(std::int32_t file_number)
{
    auto* file = dynamic_cast<DiskFile*>(&DeviceTable::current().open_device(file_number, file_site::Loc));
    return file && file->ends_inside_line();
}

bool file_replaced_on_disk(std::int32_t file_number)
{
    auto* file = dynamic_cast<DiskFile*>(&DeviceTable::current().open_device(file_number, file_site::Loc));
    return file && file->replaced_on_disk();
}

bool read_utf8_as_shift_jis(std::int32_t file_number)
{
    auto* file = dynamic_cast<DiskFile*>(&DeviceTable::current().open_device(file_number, file_site::InputFromFile));
    return file && file->take_utf8_as_shift_jis(file_site::InputFromFile);
}

std::uint32_t input_position(std::int32_t file_number)
{
    auto* file = dynamic_cast<DiskFile*>(&DeviceTable::current().open_device(file_number, file_site::Loc));
    return file ? file->position() : 0;
}

std::int32_t input_line_at(std::int32_t file_number, std::uint32_t position)
{
    auto* file = dynamic_cast<DiskFile*>(&DeviceTable::current().open_device(file_number, file_site::Loc));
    return file ? file->line_at(position, file_site::Loc) : 0;
}

}  // namespace rt
