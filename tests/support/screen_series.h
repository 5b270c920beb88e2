// Captures of one page taken moments apart ("NAME-0.txt", "NAME-1.txt", ...).
// A capture can fall between two statements of one refresh (a "Q" value is
// erased before it is printed), so a text counts as shown when any capture
// shows it.
#pragma once

#include <string>
#include <vector>

#include "tests/support/headless_script.h"
#include "tests/support/scratch_directory.h"
#include "tests/support/screen_capture.h"

namespace qk_test {

// Adds `count` captures `gap_ms` apart to the script.
inline HeadlessScript& capture_series(HeadlessScript& script, const std::string& name, int count, int gap_ms)
{
    for (int i = 0; i < count; ++i)
        script.wait(gap_ms).screen(name + "-" + std::to_string(i) + ".txt");
    return script;
}

class ScreenSeries {
public:
    ScreenSeries(const ScratchDirectory& directory, const std::string& name)
    {
        for (int i = 0; directory.exists(name + "-" + std::to_string(i) + ".txt"); ++i)
            captures_.emplace_back(directory.read(name + "-" + std::to_string(i) + ".txt"));
    }

    // The text at (column, row) as long as `expected`: `expected` itself when
    // any capture shows it, otherwise what the last capture shows.
    std::string at(int column, int row, const std::string& expected) const
    {
        std::string last;
        for (const ScreenCapture& capture : captures_) {
            last = capture.at(column, row, static_cast<int>(expected.size()));
            if (last == expected)
                return last;
        }
        return last;
    }

    ScreenCapture last() const { return captures_.empty() ? ScreenCapture() : captures_.back(); }
    std::size_t size() const noexcept { return captures_.size(); }

private:
    std::vector<ScreenCapture> captures_;
};

}  // namespace qk_test
