#include "monitors/monitor_shared/scripted_session.h"

#include <chrono>
#include <optional>

#include "monitors/monitor_shared/change_log.h"
#include "monitors/monitor_shared/command_request.h"
#include "monitors/monitor_shared/session_output.h"
#include "monitors/monitor_shared/watch_page.h"
#include "runtime/console/utf8_text.h"
#include "runtime/core/error.h"
#include "runtime/core/error_reason.h"
#include "runtime/core/frame.h"
#include "runtime/core/string_functions.h"

namespace monitor {

using rt::stmt;

namespace {

constexpr std::uint16_t kFatalExitCode = 1;
constexpr std::uint16_t kDeviceFault = 53;

// Written in one call and flushed, so that the line reaches a pipe whole and at once.
void put_line(std::string_view line)
{
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

// NAME, or NAME.DAT as it is written on disk.
std::string watch_file_of(const std::string& name)
{
    const std::string upper = rt::upper_case(name);
    if (upper.size() > 4 && upper.ends_with(".DAT"))
        return name;
    return watch_file_name(name);
}

}  // namespace

ScriptedSession::ScriptedSession(const BoardDescription& board, std::string program, rt::ScriptedRun run,
                                 std::vector<std::string> commands)
    : board_(board), program_(std::move(program)), run_(std::move(run)), commands_(std::move(commands))
{
}

void ScriptedSession::main_routine()
{
    open_link();
    try {
        if (run_.watch)
            run_watch();
        else
            run_commands();
    } catch (const rt::ProgramTermination&) {
        // The runtime's report has the number; the words for a lost line
        // (which its message texts leave out) follow it on standard error.
        if (rt::GET_ERR() == kDeviceFault)
            closing_note_ = "error 53: the serial line failed during the run (the port went away under "
                            "--no-reconnect, or the line reported an error)";
        throw;
    }
    finished_ = true;
}

int ScriptedSession::exit_status(int runtime_exit_code) const
{
    if (!closing_note_.empty())
        note(closing_note_);
    if (runtime_exit_code != 0)
        return runtime_exit_code;
    if (!finished_ && !run_.watch && commands_done_ < commands_.size()) {
        note("stopped after " + std::to_string(commands_done_) + " of " + std::to_string(commands_.size()) +
             " commands");
        return kSomeCommandFailedExitCode;
    }
    return any_failed_ ? kSomeCommandFailedExitCode : 0;
}

void ScriptedSession::note(std::string_view text) const
{
    std::fprintf(stderr, "%s: %.*s\n", program_.c_str(), static_cast<int>(text.size()), text.data());
}

void ScriptedSession::end_fatally(std::string_view text) const
{
    note(text);
    rt::END(kFatalExitCode);
}

// As the interactive start-up: QK.DEF read, then the channel opened with its
// settings. Values QK.DEF could not use are noted; without a channel nothing
// could be sent, so the run ends.
void ScriptedSession::open_link()
{
    read_settings_file(settings_, board_);
    for (const std::string& problem : settings_.problems)
        note("QK.DEF: " + rt::utf8_text(problem));
    if (!link_.open(settings_.channel, settings_.data_bits))
        end_fatally("QK.DEF selects no serial channel (CH=0 to CH=3), so there is no port to send to");
}

void ScriptedSession::run_commands()
{
    for (const std::string& typed : commands_) {
        std::string executed;
        bool failed = false;
        const std::string reply = execute(typed, executed, failed);
        put_line(command_result_line(executed, reply));
        ++commands_done_;
        if (failed) {
            any_failed_ = true;
            if (run_.stop_on_error)
                return;
        }
    }
}

// The checks, the request and the reply wait of the command row; Qk14 shows
// a refusal as "Error", QkP877W refuses silently (an empty reply).
std::string ScriptedSession::execute(const std::string& typed, std::string& executed, bool& failed)
{
    CommandOutcome outcome;
    stmt(__LINE__, [&] { outcome = prepare_command(typed, board_); });
    executed = outcome.command_line;
    switch (outcome.kind) {
    case CommandOutcome::Kind::Refused:
        failed = true;
        return board_.refusal_reads_error ? std::string(kFailedReplyText) : std::string();
    case CommandOutcome::Kind::Jump:
        return {};  // the dump page moves; nothing goes on the line
    case CommandOutcome::Kind::Send:
        link_.send(outcome.request);
        break;
    case CommandOutcome::Kind::NoRequest:
        break;
    }
    const CommandReply result = link_.read_command_reply();
    if (result.failed) {
        failed = true;
        return std::string(kFailedReplyText);
    }
    return result.reply;
}

void ScriptedSession::run_watch()
{
    const std::string file_name = watch_file_of(*run_.watch);
    const WatchFileLoad load = load_watch_page(file_name);
    const std::optional<WatchPage>& page = load.page;
    if (!page) {
        end_fatally("cannot load the watch page: " + rt::utf8_text(load.problem) +
                    " (it must exist in this folder and hold entries column,row,label,address,format that fit "
                    "the screen)");
    }
    std::vector<std::string> labels;
    for (const WatchEntry& entry : page->entries)
        labels.push_back(rt::utf8_text(entry.label));
    put_line(kWatchCsvHeader);
    for (std::uint32_t sample = 0; run_.count == 0 || sample < run_.count; ++sample) {
        if (sample > 0)
            wait_until_next_sample();
        const auto start = std::chrono::steady_clock::now();
        for (std::size_t i = 0; i < page->entries.size(); ++i) {
            const WatchEntry& entry = page->entries[i];
            const std::optional<std::string> request = watch_request(entry);
            std::optional<std::string> reply;
            if (request) {
                link_.send(*request);
                reply = link_.read_watch_reply();
            }
            const std::string time = local_time_text(std::chrono::system_clock::now());
            std::string value;
            if (reply) {
                value = watch_value_shown(entry, *reply, board_, settings_.byte_order);
            } else {
                value = kFailedReplyText;
                any_failed_ = true;
            }
            put_line(watch_csv_line(time, labels[i], entry, value));
        }
        last_sample_start_ = start;
    }
}

// Samples start --interval apart; a sample that took longer is followed at
// once. Messages are pumped while waiting, so SIGINT or SIGTERM ends the run.
void ScriptedSession::wait_until_next_sample()
{
    const auto due = last_sample_start_ + run_.interval;
    for (auto now = std::chrono::steady_clock::now(); now < due;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(due - now);
        stmt(__LINE__, [&] { rt::pump_one_message_within(left); });
        now = std::chrono::steady_clock::now();
    }
}

}  // namespace monitor
