#include "mode_control.h"

#include "screen_map.h"

namespace qkp877w {

void press_function_key(MonitorState& state, int key)
{
    if (key >= 1 && key <= kBoundFunctionKeys)
        state.requestedMode = static_cast<DisplayMode>(key);
}

std::optional<DisplayMode> take_mode_entry(MonitorState& state)
{
    const DisplayMode requested = state.requestedMode;
    if (requested == DisplayMode::None)
        return std::nullopt;
    if (requested == DisplayMode::ChosenWatch || requested != state.currentMode)
        return requested;
    state.requestedMode = DisplayMode::None;
    return std::nullopt;
}

std::string channel_status_text(const monitor::Settings& settings)
{
    const int index = settings.channel >= 0 && settings.channel <= 2 ? settings.channel : 3;
    return std::string(screen::kChannelTexts[static_cast<std::size_t>(index)]);
}

}  // namespace qkp877w
