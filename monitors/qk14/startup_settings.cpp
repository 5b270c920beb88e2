#include "startup_settings.h"

#include "monitors/monitor_shared/settings_file.h"

namespace qk14 {

std::uint16_t start_with_settings(MonitorState& state, std::string_view settingsFile)
{
    state.currentMode = DisplayMode::Dump;
    state.requestedMode = DisplayMode::Dump;
    const auto result = monitor::read_settings(settingsFile, state.settings, monitor::MonitorKind::Qk14);
    state.settings = result.settings;
    for (int key = 2; key <= 9; ++key)
        state.functionKeyNames[static_cast<std::size_t>(key)] = state.settings.name_of_key(key);
    if (result.dumpBase)
        state.dumpBase = *result.dumpBase;
    return result.error;
}

}  // namespace qk14
