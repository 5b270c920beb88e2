#include "monitors/monitor_shared/program_help.h"

#include <initializer_list>
#include <string_view>

#include "runtime/console/command_line.h"

namespace monitor {

namespace {

struct Row {
    std::string_view left;
    std::string_view right;
};

constexpr std::size_t kColumn = 24;

void add_rows(std::string& text, std::string_view heading, std::initializer_list<Row> rows)
{
    text += heading;
    text += ":\n";
    for (const Row& row : rows) {
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

void add_qk14_keys(std::string& text)
{
    add_rows(text, "Keys",
             {{"F1", "dump page: 256 bytes from the current address"},
              {"F2 .. F9", "watch page of the file QK.DEF names (F2=NAME: NAME.DAT)"},
              {"F10", "pick a watch file from the list and show it"},
              {"F11", "pick a watch file and show the changes of its first"},
              {"", "value; NAME/F appends them to NAME.DAS, NAME/D empties"},
              {"", "the log first"},
              {"F12", "execute the last command line again"},
              {"Alt+1..Alt+9, Alt+0", "F1 .. F10 (where the desktop takes function keys)"},
              {"Alt+-, Alt+=", "F11, F12"},
              {"Up, Down", "dump page 256 bytes back, forward"},
              {"Page Up, Page Down", "dump page 4096 bytes back, forward"},
              {"Enter", "execute the command line"},
              {"Backspace", "delete the last character"},
              {"Esc", "restart: read QK.DEF again and reopen the port"},
              {"Ctrl+C", "quit (after a key press); closing the window too"}});
    add_rows(text, "Commands (hexadecimal: a address, p port, d data, b bit 0-7)",
             {{"Raaaa", "read 16 bytes"},
              {"Waaaadd..", "write 1 to 16 bytes"},
              {"Waaaa:text", "write the text's bytes"},
              {"Saaaab, Caaaab", "set, clear bit b of a memory byte"},
              {"Ipp, Oppdd", "read, write I/O port p"},
              {"Hppb, Lppb", "set, clear bit b of I/O port p"},
              {"Jpp", "dump page from pp00"}});
}

void add_qkp877w_keys(std::string& text)
{
    add_rows(text, "Keys",
             {{"F1", "dump page: 256 bytes"},
              {"F2 .. F9", "watch page of the file QK.DEF names (F2=NAME: NAME.DAT)"},
              {"F10", "pick a watch file from the list and show it"},
              {"F11", "pick a watch file and list changes of its first value"},
              {"Alt+1..Alt+9, Alt+0", "F1 .. F10 (where the desktop takes function keys)"},
              {"Alt+-", "F11"},
              {"Up, Down", "dump page 000 or 100"},
              {"Enter", "execute the command line"},
              {"Backspace", "delete the last character"},
              {"Ctrl+C", "quit (after a key press); closing the window too"}});
    add_rows(text, "Commands (hexadecimal: a address, d data, p port, b bit)",
             {{"Raaaa", "read 16 bytes"},
              {"Waaaadd..", "write bytes"},
              {"Waaaa:text", "write the text's bytes"},
              {"Saaaab, Caaaab", "set, clear a bit"},
              {"Ipp, Oppdd", "read, write a port"},
              {"Hppb, Lppb", "set, clear a port bit"}});
}

}  // namespace

std::string program_help(const ProgramIdentity& identity)
{
    std::string text = "Usage: " + identity.program + " [OPTION]...\n" + identity.summary +
                       "\nRuns in the current directory, which holds QK.DEF and the *.DAT watch files.\n\n"
                       "Options:\n" +
                       rt::command_line_options_help() + "\n";
    if (identity.kind == MonitorKind::Qk14)
        add_qk14_keys(text);
    else
        add_qkp877w_keys(text);
    if (identity.kind == MonitorKind::Qk14)
        add_rows(text, "Files (Shift-JIS text; CR LF or LF line ends)",
                 {{"QK.DEF", "settings: CH=channel (0: COM1), BT=7 or 8 data bits,"},
                  {"", "BL=0 little or 1 big endian, AD=first dump page,"},
                  {"", "F2= .. F9= watch file names"},
                  {"*.DAT", "watch page: column,row,label,address,format per line"},
                  {"*.DAS", "change log: NNNN,yy/mm/dd,hh:mm:ss,reply digits"}});
    else
        add_rows(text, "Files (Shift-JIS text; CR LF or LF line ends)",
                 {{"QK.DEF", "settings: CH=channel (0: COM1), F2= .. F9= watch files"},
                  {"*.DAT", "watch page: column,row,label,address,format per line"}});
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
