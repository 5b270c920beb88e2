#include "host/serial_port_diagnosis.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace host {

namespace {

namespace fs = std::filesystem;

// Entries of `folder` whose names start with `prefix`, sorted; none when the
// folder is missing.
std::vector<std::string> entries_with_prefix(const fs::path& folder, const std::string& prefix)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (it->path().filename().string().starts_with(prefix))
            names.push_back(it->path().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool has_uart(const fs::path& sys, const std::string& device_path)
{
    std::ifstream type(sys / "class/tty" / fs::path(device_path).filename() / "type");
    int value = 0;
    return type >> value && value != 0;
}

bool user_in_group(gid_t group)
{
    if (::getegid() == group)
        return true;
    const int count = ::getgroups(0, nullptr);
    if (count <= 0)
        return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int got = ::getgroups(count, groups.data());
    return got > 0 && std::find(groups.begin(), groups.begin() + got, group) != groups.begin() + got;
}

}  // namespace

std::vector<std::string> present_serial_ports(const std::string& dev, const std::string& sys)
{
    std::vector<std::string> ports = entries_with_prefix(fs::path(dev) / "serial/by-id", "");
    for (const char* prefix : {"ttyUSB", "ttyACM"}) {
        const auto found = entries_with_prefix(dev, prefix);
        ports.insert(ports.end(), found.begin(), found.end());
    }
    for (const std::string& path : entries_with_prefix(dev, "ttyS"))
        if (has_uart(sys, path))
            ports.push_back(path);
    return ports;
}

std::optional<std::string> missing_device_group(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    const bool group_may_use = (info.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    if (!group_may_use || user_in_group(info.st_gid))
        return std::nullopt;
    const group* entry = ::getgrgid(info.st_gid);
    if (!entry || !entry->gr_name)
        return std::nullopt;
    return std::string(entry->gr_name);
}

}  // namespace host
