#include "monitors/monitor_shared/program_help.h"

#include <initializer_list>
#include <span>
#include <string_view>

#include "runtime/console/command_line.h"

namespace monitor {

namespace {

constexpr std::size_t kColumn = 24;

void add_board_rows(std::string& text, std::string_view heading, std::span<const HelpRow> rows)
{
    text += heading;
    text += ":\n";
    for (const HelpRow& row : rows) {
        std::string line = "  " + std::string(row.left);
        if (line.size() + 1 > kColumn) {
            text += line + "\n";
            line.clear();
        }
        line.resize(kColumn, ' ');
        text += line;
        text += row.right;
        text += '\n';
    }
    text += '\n';
}

void add_rows(std::string& text, std::string_view heading, std::initializer_list<HelpRow> rows)
{
    add_board_rows(text, heading, std::span<const HelpRow>(rows.begin(), rows.size()));
}

}  // namespace

std::string program_help(const BoardDescription& board)
{
    std::string text = "Usage: " + std::string(board.program) + " [OPTION]...\n" + std::string(board.summary) +
                       "\nRuns in the current directory, which holds QK.DEF and the *.DAT watch files.\n\n"
                       "Options:\n" +
                       rt::command_line_options_help() + "\n";
    add_board_rows(text, "Keys", board.help_keys);
    add_board_rows(text, board.help_commands_heading, board.help_commands);
    add_board_rows(text, "Files (Shift-JIS text; CR LF or LF line ends)", board.help_files);
    add_rows(text, "Settings file",
             {{"$QK_SETTINGS_FILE", "when set, else"},
              {"", "$XDG_CONFIG_HOME/qkmonitors/settings.ini, by default"},
              {"", "~/.config/qkmonitors/settings.ini. Ports: section"},
              {"", "[ports] with lines such as COM1=/dev/ttyUSB0"}});
    add_rows(text, "Environment",
             {{"QK_SETTINGS_FILE", "the settings file to use"},
              {"XDG_CONFIG_HOME", "folder of the settings file (default ~/.config)"},
              {"LC_ALL, LC_MESSAGES, LANG", "messages in Japanese for language ja, else English"},
              {"DISPLAY, WAYLAND_DISPLAY", "the display for --ui sdl"},
              {"TERM", "terminal type for --ui tty (with cursor addressing)"}});
    add_rows(text, "Scripting (--exec, --exec-file, --watch: no screen)",
             {{"--exec R8000", "prints R8000, a tab and the reply digits; Error"},
              {"", "when refused or unanswered (QkP877W: an empty reply"},
              {"", "when refused); one line per command, in order"},
              {"--watch NAME", "prints time,label,address,format,value lines:"},
              {"", "ISO 8601 local time with milliseconds, the value as"},
              {"", "the page shows it or Error; a header line first"},
              {"Ctrl+C, SIGTERM", "end the run after the last whole line"}});
    add_rows(text, "Exit status",
             {{"0", "the program was closed or quit; --exec: every"},
              {"", "command was answered; --watch: every value read"},
              {"1", "a fatal error (reported on standard error), such as"},
              {"", "a port that cannot be opened"},
              {"2", "a bad command line, the chosen --ui cannot start, or"},
              {"", "standard output is not a terminal and none of --exec,"},
              {"", "--exec-file, --watch or --ui was given"},
              {"3", "--exec: a command was refused or unanswered (or a"},
              {"", "signal stopped the commands); --watch: a value was"},
              {"", "not read"}});
    text.pop_back();  // one blank line less at the end
    return text;
}

}  // namespace monitor
