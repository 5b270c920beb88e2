#include "startup_settings.h"

namespace qk14 {

void take_settings(MonitorState& state, bool startAddressRead)
{
    for (int key = 2; key <= 9; ++key)
        state.functionKeyNames[static_cast<std::size_t>(key)] = state.settings.name_of_key(key);
    if (startAddressRead)
        state.dumpBase = state.settings.startAddress;
}

}  // namespace qk14
