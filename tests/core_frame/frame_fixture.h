// A running runtime on a desktop with a recording front end, and a settings
// file of its own in a scratch directory (QK_SETTINGS_FILE).
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "host/desktop.h"
#include "host/settings_store.h"
#include "runtime/core/runtime.h"
#include "tests/core_frame/recording_front_end.h"
#include "tests/support/scratch_directory.h"
#include "tests/support/test_runtime.h"

namespace qk_test {

// A scratch directory with the settings file pointed at it.
class TemporarySettings {
public:
    TemporarySettings() { ::setenv("QK_SETTINGS_FILE", (directory_ / "settings.ini").c_str(), 1); }
    ~TemporarySettings() { ::unsetenv("QK_SETTINGS_FILE"); }
    TemporarySettings(const TemporarySettings&) = delete;
    TemporarySettings& operator=(const TemporarySettings&) = delete;

    const std::filesystem::path& directory() const noexcept { return directory_.path(); }
    host::SettingsStore store() const { return host::SettingsStore(directory_ / "settings.ini"); }

private:
    ScratchDirectory directory_{"qk_frame"};
};

class FrameTest : public ::testing::Test {
protected:
    TemporarySettings settings_;
    TestRuntime<RecordingFrontEnd> kit_{RuntimeSetUp{.begin_program = true}};
    RecordingFrontEnd* front_ = &kit_.front();
    host::Desktop& desktop_ = kit_.desktop();
    rt::Runtime& runtime_ = kit_.runtime();
};

}  // namespace qk_test
