#include "monitors/monitor_shared/key_step.h"

#include "monitors/monitor_shared/command_request.h"
#include "monitors/monitor_shared/dump_page.h"

namespace monitor {

namespace {

KeyAction move_page(MonitorState& state, std::int32_t delta, const BoardDescription& board)
{
    state.dump_base = moved_dump_base(state.dump_base, delta, board);
    state.dump_row_offset = 0;
    return KeyAction::PageMoved;
}

}  // namespace

KeyAction key_step(MonitorState& state, std::string_view key, const BoardDescription& board)
{
    if (state.repeat_requested) {
        state.command_line = state.last_command;
        state.repeat_requested = false;
        return KeyAction::Repeat;
    }
    if (key.size() == 1) {
        switch (key[0]) {
        case key::kDown: return move_page(state, kDumpRowStep, board);
        case key::kUp: return move_page(state, -kDumpRowStep, board);
        case key::kBackspace:
            if (!state.command_line.empty())
                state.command_line.pop_back();
            key = {};
            break;
        case key::kEnter:
            state.last_command = state.command_line;
            return KeyAction::Execute;
        case key::kEscape:
            if (board.restarts_on_escape)
                return KeyAction::Restart;
            break;
        case key::kPageDown:
            if (board.page_keys_move_dump)
                return move_page(state, kDumpPageStep, board);
            break;
        case key::kPageUp:
            if (board.page_keys_move_dump)
                return move_page(state, -kDumpPageStep, board);
            break;
        default: break;
        }
    }
    state.command_line = typed_command_line(state.command_line, key, board);
    return KeyAction::LineEdited;
}

std::string typed_command_line(std::string_view line, std::string_view key, const BoardDescription& board)
{
    if (board.typed_key_join == TypedKeyJoin::LineCutThenKey)
        return std::string(line.substr(0, kCommandLineMax)) + std::string(key);
    return (std::string(line) + std::string(key)).substr(0, kCommandLineMax);
}

std::string command_row_text(std::string_view command_line, int trailing_blanks)
{
    return std::string(command_line) + std::string(static_cast<std::size_t>(trailing_blanks), ' ');
}

}  // namespace monitor
