#include "monitors/monitor_shared/mode_control.h"

namespace monitor {

FunctionKeyEffect press_function_key(MonitorState& state, int key, MonitorKind monitor)
{
    FunctionKeyEffect effect;
    const int last_mode_key = key_of_mode(DisplayMode::Log);
    if (monitor == MonitorKind::QkP877W) {
        if (key >= 1 && key <= last_mode_key) {
            state.requested_mode = mode_of_key(key);
            effect.switch_key_off = true;
        }
        return effect;
    }
    if (key == 12) {
        state.repeat_requested = true;
        return effect;
    }
    if (key < 1 || key > last_mode_key)
        return effect;
    if (mode_of_key(key) == DisplayMode::Log) {
        state.log.last_value.clear();
        if (state.log.logging) {
            effect.close_log_file = true;
            state.current_mode = DisplayMode::None;
            state.log.logging = false;
        }
    } else if (state.log.logging) {
        effect.close_log_file = true;
        state.log.logging = false;
        state.log.last_value.clear();
    }
    state.requested_mode = mode_of_key(key);
    effect.switch_key_off = true;
    return effect;
}

std::optional<DisplayMode> take_mode_entry(MonitorState& state, MonitorKind monitor)
{
    const DisplayMode requested = state.requested_mode;
    if (requested == DisplayMode::None)
        return std::nullopt;
    const bool prompts_again =
        requested == DisplayMode::ChosenWatch || (requested == DisplayMode::Log && monitor == MonitorKind::Qk14);
    if (prompts_again || requested != state.current_mode)
        return requested;
    state.requested_mode = DisplayMode::None;
    return std::nullopt;
}

std::string channel_status_text(const Settings& settings, MonitorKind monitor)
{
    const int shown = settings.channel >= 0 && settings.channel <= 2 ? settings.channel : 3;
    std::string text = "Channel=COM" + std::to_string(shown);
    if (monitor == MonitorKind::Qk14) {
        text.push_back(' ');
        text.push_back(static_cast<char>('0' + settings.data_bits));
        text += "bit";
    }
    return text;
}

}  // namespace monitor
