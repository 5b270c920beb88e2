// A private tmux server with one 80x25 session running a shell command;
// the server is killed when the object goes.
#pragma once

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "tests/support/command_output.h"

namespace qk14_e2e {

using qk_test::command_output;

inline std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// capture-pane -e text as shown: escape sequences dropped, and the letters of
// the line-drawing set between shift-out (0x0E) and shift-in (0x0F) as lines.
inline std::string shown_text(const std::string& escaped)
{
    static const std::string_view kLetters = "qxlkmjtuwvn";
    static const std::string_view kLines[] = {"─", "│", "┌", "┐", "└", "┘", "├", "┤", "┬", "┴", "┼"};
    std::string shown;
    bool alternate = false;
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        const char c = escaped[i];
        if (c == '\x1b') {
            // CSI: parameters up to a final byte from 0x40 to 0x7E.
            if (i + 1 < escaped.size() && escaped[i + 1] == '[') {
                i += 2;
                while (i < escaped.size() && (escaped[i] < 0x40 || escaped[i] > 0x7E))
                    ++i;
            }
            continue;
        }
        if (c == '\x0e' || c == '\x0f') {
            alternate = c == '\x0e';
            continue;
        }
        const std::size_t letter = alternate ? kLetters.find(c) : std::string_view::npos;
        if (letter != std::string_view::npos)
            shown += kLines[letter];
        else
            shown += c;
    }
    return shown;
}

// Single quotes for the shell.
inline std::string shell_quoted(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

class TmuxSession {
public:
    TmuxSession(const std::string& socket, const std::string& command) : socket_(socket)
    {
        command_output("LANG=C.UTF-8 tmux -u -L " + socket_ + " -f /dev/null new-session -d -s qk -x 80 -y 25 " +
                     shell_quoted(command));
        socket_path_ = command_output("tmux -L " + socket_ + " display-message -p '#{socket_path}'");
        while (!socket_path_.empty() && socket_path_.back() == '\n')
            socket_path_.pop_back();
    }
    // Kills the server and removes its socket file.
    // The program in the pane (a child of the pane's shell) has ended when
    // this returns, so the next session can open the ports it held.
    ~TmuxSession()
    {
        const std::string pane = command_output("tmux -L " + socket_ + " display-message -p '#{pane_pid}' 2>/dev/null");
        std::vector<pid_t> processes;
        if (const pid_t shell = static_cast<pid_t>(std::atoi(pane.c_str())); shell > 0) {
            processes.push_back(shell);
            std::istringstream children(command_output("cat /proc/" + std::to_string(shell) + "/task/" +
                                                     std::to_string(shell) + "/children 2>/dev/null"));
            for (pid_t child = 0; children >> child;)
                processes.push_back(child);
        }
        command_output("tmux -L " + socket_ + " kill-server 2>/dev/null");
        for (const pid_t process : processes) {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            while (::kill(process, 0) == 0 && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (!socket_path_.empty())
            ::unlink(socket_path_.c_str());
    }
    TmuxSession(const TmuxSession&) = delete;
    TmuxSession& operator=(const TmuxSession&) = delete;

    static bool available() { return !command_output("command -v tmux").empty(); }

    std::string capture() const { return command_output("tmux -L " + socket_ + " capture-pane -p -t qk"); }
    void send_keys(const std::string& keys) const { command_output("tmux -L " + socket_ + " send-keys -t qk " + keys); }
    // Any tmux command on this server ("resize-window -t qk -x 80 -y 12").
    void tmux_command(const std::string& arguments) const { command_output("tmux -L " + socket_ + " " + arguments); }

    std::vector<std::string> rows() const { return lines_of(capture()); }

    // The rows as the terminal shows them: colours dropped, and the
    // characters between shift-out and shift-in (the alternate set, which
    // capture-pane leaves as its letters) as the lines they stand for.
    std::vector<std::string> shown_rows() const
    {
        return lines_of(shown_text(command_output("tmux -L " + socket_ + " capture-pane -p -e -t qk")));
    }

    // Polls until the condition holds or the limit passes.
    bool wait_for(const std::function<bool()>& condition, std::chrono::milliseconds limit) const
    {
        const auto until = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < until) {
            if (condition())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return condition();
    }

private:
    std::string socket_;
    std::string socket_path_;
};

}  // namespace qk14_e2e
