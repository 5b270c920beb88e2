// A fresh directory under the system's temporary directory for one test's
// files, removed with everything in it when the test ends; and the same made
// the process's current directory for its life.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

namespace qk_test {

class ScratchDirectory {
public:
    // The directory's name starts with `prefix`, so a left-over one shows what made it.
    explicit ScratchDirectory(std::string_view prefix = "qk-test")
    {
        std::string pattern = (std::filesystem::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~ScratchDirectory()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::filesystem::path& path() const noexcept { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

    // Writes the bytes exactly as given (no line-end translation).
    void write(std::string_view name, std::string_view bytes) const
    {
        std::ofstream file(path_ / name, std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!file.flush())
            throw std::runtime_error("cannot write " + std::string(name));
    }

    // The whole file, or an empty string when it does not exist.
    std::string read(std::string_view name) const
    {
        std::ifstream file(path_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    bool exists(std::string_view name) const { return std::filesystem::exists(path_ / name); }

private:
    std::filesystem::path path_;
};

// A scratch directory that is the current directory while it lives; the
// previous one is restored before it is removed.
class CurrentScratchDirectory {
public:
    explicit CurrentScratchDirectory(std::string_view prefix = "qk-test")
        : directory_(prefix), previous_(std::filesystem::current_path())
    {
        std::filesystem::current_path(directory_.path());
    }
    ~CurrentScratchDirectory()
    {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
    }
    CurrentScratchDirectory(const CurrentScratchDirectory&) = delete;
    CurrentScratchDirectory& operator=(const CurrentScratchDirectory&) = delete;

    const std::filesystem::path& path() const noexcept { return directory_.path(); }
    const ScratchDirectory& directory() const noexcept { return directory_; }

private:
    ScratchDirectory directory_;
    std::filesystem::path previous_;
};

}  // namespace qk_test
