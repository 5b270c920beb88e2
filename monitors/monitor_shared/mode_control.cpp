#include "monitors/monitor_shared/mode_control.h"

namespace monitor {

namespace {

// A mode key ends logging (the log file is closed); F11 also forgets the last
// value, and F11 pressed while logging goes back to no mode first.
void end_logging(MonitorState& state, DisplayMode mode, FunctionKeyEffect& effect)
{
    if (mode == DisplayMode::Log) {
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
}

}  // namespace

FunctionKeyEffect press_function_key(MonitorState& state, int key, const BoardDescription& board)
{
    FunctionKeyEffect effect;
    const int last_mode_key = key_of_mode(DisplayMode::Log);
    if (key == 12 && board.f12_repeats_command) {
        state.repeat_requested = true;
        return effect;
    }
    if (key < 1 || key > last_mode_key)
        return effect;
    if (board.function_keys_end_logging)
        end_logging(state, mode_of_key(key), effect);
    state.requested_mode = mode_of_key(key);
    effect.switch_key_off = true;
    return effect;
}

std::optional<DisplayMode> take_mode_entry(MonitorState& state, const BoardDescription& board)
{
    const DisplayMode requested = state.requested_mode;
    if (requested == DisplayMode::None)
        return std::nullopt;
    const bool prompts_again =
        requested == DisplayMode::ChosenWatch || (requested == DisplayMode::Log && board.log_prompt_reopens);
    if (prompts_again || requested != state.current_mode)
        return requested;
    state.requested_mode = DisplayMode::None;
    return std::nullopt;
}

std::string channel_status_text(const Settings& settings, const BoardDescription& board)
{
    const int shown = settings.channel >= 0 && settings.channel <= 2 ? settings.channel : 3;
    std::string text = "Channel=COM" + std::to_string(shown);
    if (board.status_shows_data_bits) {
        text.push_back(' ');
        text.push_back(static_cast<char>('0' + settings.data_bits));
        text += "bit";
    }
    return text;
}

}  // namespace monitor
