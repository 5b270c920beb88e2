// A fresh directory made current for the life of a test, removed afterwards.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace files_test {

class TempDirectory {
public:
    TempDirectory()
    {
        char name[] = "/tmp/qk-files-XXXXXX";
        if (!::mkdtemp(name))
            throw std::runtime_error("mkdtemp");
        path_ = name;
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(path_);
    }
    ~TempDirectory()
    {
        std::filesystem::current_path(previous_);
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const noexcept { return path_; }

private:
    std::filesystem::path path_, previous_;
};

}  // namespace files_test
