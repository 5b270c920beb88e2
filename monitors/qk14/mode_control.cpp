#include "mode_control.h"

#include "screen_map.h"

namespace qk14 {

FunctionKeyEffect press_function_key(MonitorState& state, int key)
{
    FunctionKeyEffect effect;
    if (key == 12) {
        state.repeatRequested = true;
        return effect;
    }
    if (key < 1 || key > 11)
        return effect;
    if (key == 11) {
        state.log.lastLoggedValue.clear();
        if (state.log.logging) {
            effect.closeLogFile = true;
            state.currentMode = DisplayMode::None;
            state.log.logging = false;
        }
    } else if (state.log.logging) {
        effect.closeLogFile = true;
        state.log.logging = false;
        state.log.lastLoggedValue.clear();
    }
    state.requestedMode = static_cast<DisplayMode>(key);
    effect.switchKeyOff = true;
    return effect;
}

std::optional<DisplayMode> take_mode_entry(MonitorState& state)
{
    const DisplayMode requested = state.requestedMode;
    if (requested == DisplayMode::None)
        return std::nullopt;
    if (requested == DisplayMode::ChosenWatch || requested == DisplayMode::Log || requested != state.currentMode)
        return requested;
    state.requestedMode = DisplayMode::None;
    return std::nullopt;
}

std::string channel_status_text(const monitor::Settings& settings)
{
    const int index = settings.channel >= 0 && settings.channel <= 2 ? settings.channel : 3;
    std::string text(screen::kChannelTexts[static_cast<std::size_t>(index)]);
    text.push_back(static_cast<char>('0' + settings.dataBits));
    text += screen::kBitText;
    return text;
}

}  // namespace qk14
