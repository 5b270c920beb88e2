// The console side of the fatal error report and the break notice: text
// through the console writer, then a wait for one key on the main window.
#pragma once

#include "runtime/core/console_report.h"

namespace rt::console {

class ConsoleReport final : public ConsoleReportTarget {
public:
    bool accepts_console_output() const noexcept override;
    void write_text(std::string_view sjis) override;
    void wait_for_key(bool help_enabled) override;
};

}  // namespace rt::console
