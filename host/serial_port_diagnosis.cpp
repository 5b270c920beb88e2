#include "host/serial_port_diagnosis.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

namespace host {

namespace {

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
