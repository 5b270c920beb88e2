#include "key_step.h"

#include "monitors/monitor_shared/command_line_edit.h"
#include "monitors/monitor_shared/dump_page.h"

namespace qkp877w {

namespace {

KeyAction move_page(MonitorState& state, std::int32_t delta)
{
    state.dumpBase = monitor::moved_dump_base(state.dumpBase, delta, monitor::MonitorKind::QkP877W);
    state.dumpRowOffset = 0;
    return KeyAction::PageMoved;
}

}  // namespace

KeyAction key_step(MonitorState& state, std::string_view key)
{
    if (key.size() == 1) {
        switch (key[0]) {
        case key::kDown: return move_page(state, monitor::kDumpRowStep);
        case key::kUp: return move_page(state, -monitor::kDumpRowStep);
        case key::kBackspace:
            if (!state.commandLine.empty())
                state.commandLine.pop_back();
            key = {};
            break;
        case key::kEnter: return KeyAction::Execute;
        default: break;
        }
    }
    state.commandLine = monitor::typed_command_line(state.commandLine, key, monitor::MonitorKind::QkP877W);
    return KeyAction::LineEdited;
}

}  // namespace qkp877w
