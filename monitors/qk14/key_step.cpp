#include "key_step.h"

#include "monitors/monitor_shared/command_line_edit.h"
#include "monitors/monitor_shared/dump_page.h"

namespace qk14 {

namespace {

KeyAction move_page(MonitorState& state, std::int32_t delta)
{
    state.dumpBase = monitor::moved_dump_base(state.dumpBase, delta, monitor::MonitorKind::Qk14);
    state.dumpRowOffset = 0;
    return KeyAction::PageMoved;
}

}  // namespace

KeyAction key_step(MonitorState& state, std::string_view key)
{
    if (state.repeatRequested) {
        state.commandLine = state.lastCommand;
        state.repeatRequested = false;
        return KeyAction::Repeat;
    }
    if (key.size() == 1) {
        switch (key[0]) {
        case key::kEscape: return KeyAction::Restart;
        case key::kDown: return move_page(state, monitor::kDumpRowStep);
        case key::kUp: return move_page(state, -monitor::kDumpRowStep);
        case key::kPageDown: return move_page(state, monitor::kDumpPageStep);
        case key::kPageUp: return move_page(state, -monitor::kDumpPageStep);
        case key::kBackspace:
            if (!state.commandLine.empty())
                state.commandLine.pop_back();
            key = {};
            break;
        case key::kEnter:
            state.lastCommand = state.commandLine;
            return KeyAction::Execute;
        default: break;
        }
    }
    state.commandLine = monitor::typed_command_line(state.commandLine, key, monitor::MonitorKind::Qk14);
    return KeyAction::LineEdited;
}

void finish_command(MonitorState& state)
{
    state.commandLine.clear();
}

}  // namespace qk14
