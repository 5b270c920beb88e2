// How a formatted watch value goes on the screen in each place it is shown:
// the watch page (at the entry's value position) and the change row of the
// log (after the label). Only "Q" on a watch page erases first; "W" ends its
// line where the monitor does so.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "protocol.h"
#include "watch_value.h"

namespace monitor {

enum class ValueContext { WatchPage, ChangeRow };

struct ValueOutput {
    int eraseBlanks = 0;  // blanks printed first, then a locate back
    int locateShift = 0;  // where that locate goes, relative to where the blanks began
    std::string text;
    bool lineEnd = false;  // the value ends its line (may scroll the work area)
};

// Nothing for a format that shows no value. `byteOrderSetting` is Qk14's
// "BL=" value; QkP877W ignores it.
std::optional<ValueOutput> watch_value_output(std::string_view format, std::string_view reply, MonitorKind monitor,
                                              std::int16_t byteOrderSetting, ValueContext context);

}  // namespace monitor
