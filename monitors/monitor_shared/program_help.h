// The --help text of both programs: synopsis, options, keys, commands, files,
// settings file, environment and exit codes, in aligned columns.
#pragma once

#include <string>

#include "monitors/monitor_shared/protocol.h"

namespace monitor {

struct ProgramIdentity {
    MonitorKind kind = MonitorKind::Qk14;
    std::string module_name;  // "Qk14", "QkP877W"
    std::string program;      // executable name
    std::string summary;      // one line
};

std::string program_help(const ProgramIdentity& identity);

}  // namespace monitor
