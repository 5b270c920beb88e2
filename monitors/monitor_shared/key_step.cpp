#include "monitors/monitor_shared/key_step.h"

#include "monitors/monitor_shared/command_request.h"
#include "monitors/monitor_shared/dump_page.h"

namespace monitor {

namespace {

KeyAction move_page(MonitorState& state, std::int32_t delta, MonitorKind monitor)
{
    state.dump_base = moved_dump_base(state.dump_base, delta, monitor);
    state.dump_row_offset = 0;
    return KeyAction::PageMoved;
}

}  // namespace

KeyAction key_step(MonitorState& state, std::string_view key, MonitorKind monitor)
{
    if (state.repeat_requested) {
        state.command_line = state.last_command;
        state.repeat_requested = false;
        return KeyAction::Repeat;
    }
    const bool qk14 = monitor == MonitorKind::Qk14;
    if (key.size() == 1) {
        switch (key[0]) {
        case key::kDown: return move_page(state, kDumpRowStep, monitor);
        case key::kUp: return move_page(state, -kDumpRowStep, monitor);
        case key::kBackspace:
            if (!state.command_line.empty())
                state.command_line.pop_back();
            key = {};
            break;
        case key::kEnter:
            state.last_command = state.command_line;
            return KeyAction::Execute;
        case key::kEscape:
            if (qk14)
                return KeyAction::Restart;
            break;
        case key::kPageDown:
            if (qk14)
                return move_page(state, kDumpPageStep, monitor);
            break;
        case key::kPageUp:
            if (qk14)
                return move_page(state, -kDumpPageStep, monitor);
            break;
        default: break;
        }
    }
    state.command_line = typed_command_line(state.command_line, key, monitor);
    return KeyAction::LineEdited;
}

std::string typed_command_line(std::string_view line, std::string_view key, MonitorKind monitor)
{
    if (monitor == MonitorKind::Qk14)
        return std::string(line.substr(0, kCommandLineMax)) + std::string(key);
    return (std::string(line) + std::string(key)).substr(0, kCommandLineMax);
}

std::string command_row_text(std::string_view command_line, int trailing_blanks)
{
    return std::string(command_line) + std::string(static_cast<std::size_t>(trailing_blanks), ' ');
}

}  // namespace monitor
