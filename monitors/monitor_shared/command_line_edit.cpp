#include "command_line_edit.h"

#include "command_request.h"

namespace monitor {

std::string typed_command_line(std::string_view line, std::string_view key, MonitorKind monitor)
{
    if (monitor == MonitorKind::Qk14)
        return std::string(line.substr(0, kCommandLineMax)) + std::string(key);
    return (std::string(line) + std::string(key)).substr(0, kCommandLineMax);
}

}  // namespace monitor
