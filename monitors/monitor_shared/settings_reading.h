// Reads "QK.DEF" through the runtime (OPEN as file 1, EOF, INPUT of one text
// item per record, CLOSE) and applies each record. A missing file or a value
// out of range is not trapped: the program ends with the runtime's report.
#pragma once

#include "protocol.h"
#include "settings_file.h"

namespace monitor {

// Returns true when an "AD=" record was read (Qk14: the dump page starts there).
bool read_settings_file(Settings& settings, MonitorKind monitor);

}  // namespace monitor
