// The console side of the fatal error report and the break notice: write the
// text and wait for a key. The console window installs one; without it the
// reports fall back to a message box through the desktop.
#pragma once

#include <string_view>

namespace rt {

class ConsoleReportTarget {
public:
    virtual ~ConsoleReportTarget() = default;
    // True while the main window exists and takes console output.
    virtual bool accepts_console_output() const noexcept = 0;
    // Writes Shift-JIS text through the console writer.
    virtual void write_text(std::string_view sjis) = 0;
    // Enables and focuses the window, empties its key buffer, shows the caret,
    // takes and dispatches messages until a key arrives, then empties the key
    // buffer again. With `help_enabled`, F1 down opens help for the current
    // error instead of dispatching. Terminates when the window is gone or quit arrives.
    virtual void wait_for_key(bool help_enabled) = 0;
};

}  // namespace rt
