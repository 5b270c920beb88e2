#include "runtime/files/disk_path.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <memory>

#include "runtime/core/shift_jis.h"
#include "runtime/files/name_pattern.h"

namespace rt {

namespace {

bool is_digit(char c) noexcept
{
    return c >= '0' && c <= '9';
}

bool is_letter(char c) noexcept
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

struct DirectoryCloser {
    void operator()(DIR* d) const noexcept { ::closedir(d); }
};

}  // namespace

std::string apply_drive_number(std::string_view name)
{
    std::size_t digits = 0;
    if (name.size() >= 2 && is_digit(name[0]) && name[1] == ':')
        digits = 1;
    else if (name.size() >= 3 && is_digit(name[0]) && is_digit(name[1]) && name[2] == ':')
        digits = 2;
    if (digits == 0)
        return std::string(name);
    int number = name[0] - '0';
    if (digits == 2)
        number = number * 10 + (name[1] - '0');
    if (number > 25)
        return std::string(name);
    std::string result(1, static_cast<char>('A' + number));
    result += name.substr(digits);
    return result;
}

std::string host_name(std::string_view name)
{
    const std::string numbered = apply_drive_number(name);
    std::string_view rest = numbered;
    if (rest.size() >= 2 && is_letter(rest[0]) && rest[1] == ':') {
        // Every drive is the current directory, its root included.
        rest.remove_prefix(2);
        while (!rest.empty() && (rest.front() == '\\' || rest.front() == '/'))
            rest.remove_prefix(1);
    }
    std::string result;
    result.reserve(rest.size());
    for (std::size_t i = 0; i < rest.size();) {
        const std::size_t n = sjis::character_length(rest, i);
        if (n == 1 && rest[i] == '\\')
            result += '/';
        else
            result += rest.substr(i, n);
        i += n;
    }
    return result;
}

std::string find_existing_ignoring_case(const std::string& path)
{
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0)
        return path;
    const std::filesystem::path p(path);
    const std::string wanted = p.filename().string();
    const std::filesystem::path parent = p.parent_path();
    std::unique_ptr<DIR, DirectoryCloser> dir(::opendir(parent.empty() ? "." : parent.c_str()));
    if (!dir)
        return path;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (same_file_name(entry->d_name, wanted))
            return (parent / entry->d_name).string();
    }
    return path;
}

std::string resolve_disk_path(std::string_view name)
{
    std::filesystem::path p(host_name(name));
    if (p.is_relative()) {
        std::error_code ignored;
        p = std::filesystem::current_path(ignored) / p;
    }
    return find_existing_ignoring_case(p.lexically_normal().string());
}

}  // namespace rt
