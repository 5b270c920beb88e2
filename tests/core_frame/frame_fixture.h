// A running runtime on a desktop with a recording front end, and a settings
// file of its own in a temporary directory (QK_SETTINGS_FILE).
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "host/desktop.h"
#include "host/settings_store.h"
#include "runtime/core/program_start.h"
#include "runtime/core/runtime.h"
#include "tests/core_frame/recording_front_end.h"

namespace qk_test {

// A temporary directory with the settings file pointed at it.
class TemporarySettings {
public:
    TemporarySettings()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "qk_frame_XXXXXX").string();
        directory_ = ::mkdtemp(pattern.data());
        ::setenv("QK_SETTINGS_FILE", (directory_ / "settings.ini").c_str(), 1);
    }
    ~TemporarySettings()
    {
        ::unsetenv("QK_SETTINGS_FILE");
        std::error_code ec;
        std::filesystem::remove_all(directory_, ec);
    }
    TemporarySettings(const TemporarySettings&) = delete;
    TemporarySettings& operator=(const TemporarySettings&) = delete;

    const std::filesystem::path& directory() const noexcept { return directory_; }
    host::SettingsStore store() const { return host::SettingsStore(directory_ / "settings.ini"); }

private:
    std::filesystem::path directory_;
};

class FrameTest : public ::testing::Test {
protected:
    FrameTest()
        : front_(new RecordingFrontEnd),
          desktop_(std::unique_ptr<host::FrontEnd>(front_)),
          runtime_(rt::ProgramOptions{}, desktop_, "Qk14", "qk14"),
          scope_(runtime_)
    {
        rt::begin_program(runtime_);
    }

    TemporarySettings settings_;
    RecordingFrontEnd* front_;  // owned by desktop_
    host::Desktop desktop_;
    rt::Runtime runtime_;
    rt::RuntimeScope scope_;
};

}  // namespace qk_test
