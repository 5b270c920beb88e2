#include "runtime/files/directory_search.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "runtime/core/error.h"
#include "runtime/core/string_descriptor.h"
#include "runtime/core/string_ops.h"
#include "runtime/files/device_table.h"
#include "runtime/files/disk_path.h"
#include "runtime/files/file_sites.h"
#include "runtime/files/name_pattern.h"

namespace rt {

std::string directory_entry_text(const DirectoryEntry& entry, int item)
{
    char text[64] = {};
    std::tm local{};
    switch (item) {
    case 0:
        return entry.name;
    case 1:
        return entry.is_directory ? "0" : std::to_string(entry.size);
    case 2:
        ::localtime_r(&entry.last_write, &local);
        std::snprintf(text, sizeof text, "%.2d/%.2d/%.2d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
        return text;
    case 3:
        ::localtime_r(&entry.last_write, &local);
        std::snprintf(text, sizeof text, "%.2d:%.2d:%.2d", local.tm_hour, local.tm_min, local.tm_sec);
        return text;
    default:
        return std::string{entry.is_directory ? 'D' : '-'} + (entry.read_only ? 'R' : '-') + (entry.is_regular ? 'A' : '-');
    }
}

DirectoryTable::Slot& DirectoryTable::slot(int number, std::uint16_t site)
{
    if (number < 1 || number > kDirectorySlots)
        RAISE_ERROR(err::kBadFileNumber, site);
    return slots_[static_cast<std::size_t>(number - 1)];
}

void DirectoryTable::open(int number, std::string_view pattern)
{
    if (pattern.size() > kMaxPatternLength)
        RAISE_ERROR(err::kIllegalArgument, file_site::kDirOpen);
    Slot& s = slot(number, file_site::kDirOpen);
    if (s.open)
        RAISE_ERROR(err::kFileAlreadyOpen, file_site::kDirOpen);
    const std::string host = host_name(pattern);
    const auto cut = host.rfind('/');
    s.directory = cut == std::string::npos ? "." : (cut == 0 ? "/" : host.substr(0, cut));
    s.name_pattern = cut == std::string::npos ? host : host.substr(cut + 1);
    s.open = true;
    s.started = false;
    s.has_entry = false;
}

void DirectoryTable::fetch(Slot& s)
{
    s.has_entry = false;
    if (!s.search)
        return;
    while (const dirent* found = ::readdir(s.search.get())) {
        const std::string_view name = found->d_name;
        if (name == "." || name == ".." || !matches_name_pattern(s.name_pattern, name))
            continue;
        struct stat info {};
        if (::fstatat(::dirfd(s.search.get()), found->d_name, &info, 0) != 0)
            continue;  // vanished since it was listed
        s.entry.name = std::string(name);
        s.entry.is_directory = S_ISDIR(info.st_mode);
        s.entry.is_regular = S_ISREG(info.st_mode);
        s.entry.read_only = (info.st_mode & S_IWUSR) == 0;
        s.entry.size = static_cast<std::uint64_t>(info.st_size);
        s.entry.last_write = info.st_mtime;
        s.has_entry = true;
        return;
    }
}

void DirectoryTable::next(int number)
{
    Slot& s = slot(number, file_site::kDirNext);
    if (!s.open)
        RAISE_ERROR(err::kFileNotOpen, file_site::kDirNext);
    if (!s.started) {
        s.started = true;
        s.search.reset(::opendir(s.directory.c_str()));
    } else if (!s.has_entry) {
        RAISE_ERROR(err::kDeviceIoError, file_site::kDirNext);
    }
    fetch(s);
}

bool DirectoryTable::at_end(int number)
{
    Slot& s = slot(number, file_site::kDirEof);
    if (!s.open)
        RAISE_ERROR(err::kFileNotOpen, file_site::kDirEof);
    if (!s.started)
        RAISE_ERROR(err::kIllegalArgument, file_site::kDirEof);
    return !s.has_entry;
}

std::string DirectoryTable::info(int number, int item)
{
    if (item < 0 || item > 4)
        RAISE_ERROR(err::kIllegalArgument, file_site::kDirInfo);
    Slot& s = slot(number, file_site::kDirInfo);
    if (!s.open)
        RAISE_ERROR(err::kFileNotOpen, file_site::kDirInfo);
    if (!s.has_entry)
        return {};
    return directory_entry_text(s.entry, item);
}

void DirectoryTable::close(int number)
{
    Slot& s = slot(number, file_site::kDirClose);
    s = Slot{};
}

void DirectoryTable::close_all() noexcept
{
    for (Slot& s : slots_)
        s = Slot{};
}

void DIR_OPEN(std::int16_t number)
{
    PoppedString pattern;
    DeviceTable::current().directories().open(number, pattern.view());
}

void DIR_NEXT(std::int16_t number)
{
    DeviceTable::current().directories().next(number);
}

std::int16_t DIR_EOF(std::int16_t number)
{
    return DeviceTable::current().directories().at_end(number) ? kTrue : kFalse;
}

void DIR_INFO(std::int16_t number, std::int16_t item)
{
    const std::string text = DeviceTable::current().directories().info(number, item);
    push_temp(text);
}

void DIR_CLOSE(std::int16_t number)
{
    DeviceTable::current().directories().close(number);
}

}  // namespace rt
