// A running program with a device table, in a fresh current directory, for
// the tests of the file operations; and small helpers for file contents.
#pragma once

#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

#include "host/desktop.h"
#include "host/front_end.h"
#include "runtime/core/error.h"
#include "runtime/core/runtime.h"
#include "runtime/core/string_ops.h"
#include "runtime/files/device_table.h"

namespace files_test {

class SilentFrontEnd final : public host::FrontEnd {
public:
    void collect_events(host::Desktop&, std::chrono::milliseconds) override {}
    void paint_from_layer(host::WindowId, const host::Surface&, const host::Rect&) override {}
    void paint_text(host::WindowId, const host::TextRun&) override {}
    void paint_fill(host::WindowId, const host::Rect&, std::uint32_t) override {}
    void bell() override {}
    void message_box(std::string_view, std::string_view) override {}
};

struct Raised {
    std::uint16_t number = 0;
    std::uint16_t site = 0;
    bool operator==(const Raised&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Raised& r)
{
    return os << "error " << r.number << " at site 0x" << std::hex << r.site << std::dec;
}

// The error number `body` raised, 0 when it returned normally.
template <class Body>
std::uint16_t error_of(Body&& body)
{
    try {
        body();
    } catch (const rt::RuntimeError& e) {
        return e.number();
    }
    return 0;
}

template <class Body>
Raised raised_by(Body&& body)
{
    try {
        body();
    } catch (const rt::RuntimeError& e) {
        return {e.number(), e.site()};
    }
    return {};
}

inline void write_file(const std::string& name, std::string_view bytes)
{
    std::ofstream(name, std::ios::binary) << bytes;
}

inline std::string file_contents(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

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

class FilesTest : public ::testing::Test {
protected:
    static rt::ProgramOptions options_with(bool disk_files_disabled)
    {
        rt::ProgramOptions options;
        options.disk_files_disabled = disk_files_disabled;
        return options;
    }

    rt::DeviceTable& table() { return table_; }
    const std::filesystem::path& dir() const noexcept { return temp_.path(); }

    void open(std::string_view spec, std::int16_t mode, std::int32_t number, std::int16_t share = 0)
    {
        table_.open(spec, mode, share, number);
    }
    std::string popped_string()
    {
        rt::PoppedString s;
        return std::string(s.view());
    }

private:
    TempDirectory temp_;
    host::Desktop desktop_{std::make_unique<SilentFrontEnd>()};
    rt::Runtime runtime_{rt::ProgramOptions{}, desktop_, "Qk14", "qk14"};
    rt::RuntimeScope scope_{runtime_};
    rt::DeviceTable& table_{runtime_.install(std::make_unique<rt::DeviceTable>(runtime_.options()))};
};

}  // namespace files_test
