// A run without a screen: the port opened as the interactive program opens
// it (QK.DEF's channel and data bits, the same device string and speed),
// then either the commands of --exec and --exec-file, each sent as the
// command row sends it and answered by the same reply wait, or samples of a
// watch page read as the page reads them. Results go to standard output one
// whole line at a time (flushed), so a signal that ends the run leaves only
// complete lines; notes for people go to standard error.
//
// The session runs as the main routine on the runtime (screenless front
// end); `exit_status` turns the runtime's exit code into the run's: 0 every
// command answered (every value read), 3 some refused or unanswered (or the
// commands were stopped by a signal before the last), 1 fatal (the runtime's
// report, or the port or the watch page could not be opened).
#pragma once

#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "monitors/monitor_shared/board_description.h"
#include "monitors/monitor_shared/settings_file.h"
#include "monitors/monitor_shared/target_link.h"
#include "runtime/console/command_line.h"

namespace monitor {

inline constexpr int kSomeCommandFailedExitCode = 3;

class ScriptedSession {
public:
    ScriptedSession(const BoardDescription& board, std::string program, rt::ScriptedRun run, std::vector<std::string> commands);

    void main_routine();
    // The process exit code after the runtime returned `runtime_exit_code`.
    int exit_status(int runtime_exit_code) const;

private:
    void open_link();
    void run_commands();
    // The reply text of one command; `failed` set when it was refused or unanswered.
    std::string execute(const std::string& typed, std::string& executed, bool& failed);
    void run_watch();
    void wait_until_next_sample();
    void note(std::string_view text) const;
    [[noreturn]] void end_fatally(std::string_view text) const;

    const BoardDescription& board_;
    std::string program_;
    rt::ScriptedRun run_;
    std::vector<std::string> commands_;
    Settings settings_;
    TargetLink link_;
    std::size_t commands_done_ = 0;
    bool any_failed_ = false;
    bool finished_ = false;
    std::string closing_note_;  // words after the runtime's closing report
    std::chrono::steady_clock::time_point last_sample_start_{};
};

}  // namespace monitor
