// A running program with a device table, in a fresh current directory, for
// the tests of the file operations; and small helpers for file contents.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <utility>
#include <string>
#include <string_view>

#include "host/desktop.h"
#include "host/front_end.h"
#include "runtime/core/error.h"
#include "runtime/core/runtime.h"
#include "runtime/core/string_ops.h"
#include "runtime/files/device_table.h"
#include "tests/core_values/runtime_fixture.h"
#include "tests/support/scratch_directory.h"
#include "tests/support/test_runtime.h"

namespace files_test {

using core_values_test::raised_by;
using core_values_test::Raised;
using core_values_test::SilentFrontEnd;

// The error number `body` raised, 0 when it returned normally.
template <class Body>
std::uint16_t error_of(Body&& body)
{
    return raised_by(std::forward<Body>(body)).number;
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

class FilesTest : public ::testing::Test {
protected:
    static rt::ProgramOptions options_with(bool disk_files_disabled)
    {
        rt::ProgramOptions options;
        options.disk_files_disabled = disk_files_disabled;
        return options;
    }

    rt::DeviceTable& table() { return table_; }
    const std::filesystem::path& dir() const noexcept { return directory_.path(); }

    void open(std::string_view open_text, std::int16_t mode, std::int32_t number, std::int16_t share = 0)
    {
        table_.open(open_text, mode, share, number);
    }
    std::string popped_string()
    {
        rt::PoppedString s;
        return std::string(s.view());
    }

private:
    qk_test::CurrentScratchDirectory directory_{"qk-files"};
    qk_test::TestRuntime<> runtime_;
    rt::DeviceTable& table_{runtime_.runtime().install(std::make_unique<rt::DeviceTable>(runtime_.runtime().options()))};
};

}  // namespace files_test
