#include "tools/gpsim-bridge/gpsim_console.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <optional>
#include <stdexcept>

namespace bridge {

namespace {

constexpr std::string_view kPrompt = "**gpsim> ";
constexpr std::string_view kBreakpointHit = "Hit a Breakpoint!";
constexpr std::size_t kHistoryKept = 2000;

int hex_value(char c) noexcept
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Where gpsim shows the instruction it stopped at, a line of the form
// "0x000000000000BB50 p16f877 ...": the line's offset in `text` and the
// cycle after that instruction.
struct StopLine {
    std::size_t offset;
    std::uint64_t cycle;
};

std::optional<StopLine> find_stop_line(std::string_view text)
{
    for (std::size_t line = 0; line < text.size();) {
        const std::size_t end = std::min(text.find('\n', line), text.size());
        const std::string_view row = text.substr(line, end - line);
        if (row.size() > 19 && row.substr(0, 2) == "0x" && row[18] == ' ') {
            std::uint64_t value = 0;
            const auto [stop, problem] = std::from_chars(row.data() + 2, row.data() + 18, value, 16);
            if (problem == std::errc() && stop == row.data() + 18)
                return StopLine{line, value + 1};
        }
        line = end + 1;
    }
    return std::nullopt;
}

}  // namespace

std::string extract_console_bytes(std::string& text)
{
    std::string bytes;
    std::string rest;
    rest.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '<') {
            rest.push_back(text[i++]);
            continue;
        }
        if (text.size() - i < 4) {
            rest.append(text, i, std::string::npos);  // may be the start of a token
            break;
        }
        const int high = hex_value(text[i + 1]);
        const int low = hex_value(text[i + 2]);
        if (high >= 0 && low >= 0 && text[i + 3] == '>') {
            bytes.push_back(static_cast<char>(high * 16 + low));
            i += 4;
        } else {
            rest.push_back(text[i++]);
        }
    }
    text = std::move(rest);
    return bytes;
}

GpsimConsole::GpsimConsole(const std::string& program, const std::vector<std::string>& arguments)
    : process_(program, arguments)
{
}

void GpsimConsole::send(std::string_view commands)
{
    const std::size_t before = text_.size();
    try {
        process_.send(commands, text_);
    } catch (const std::runtime_error&) {
        process_.read_output(text_);
        keep_history(before);
        throw std::runtime_error("gpsim ended:\n" + recent_text());
    }
    keep_history(before);
}

void GpsimConsole::keep_history(std::size_t from)
{
    history_.append(text_, std::min(from, text_.size()), std::string::npos);
    if (history_.size() > kHistoryKept)
        history_.erase(0, history_.size() - kHistoryKept);
}

void GpsimConsole::take_bytes(std::string& bytes) { bytes += extract_console_bytes(text_); }

std::string GpsimConsole::recent_text() const { return history_; }

GpsimConsole::RunResult GpsimConsole::run_to(std::uint64_t cycle, std::chrono::milliseconds limit)
{
    // "step N" runs N cycles (gpsim counts a two-cycle instruction's second
    // cycle as a step) unless a breakpoint stops it first, then shows the
    // instruction it stopped at. Unlike a cycle breakpoint it leaves nothing
    // behind when a breakpoint ends it early.
    send("step " + std::to_string(cycle > cycle_ ? cycle - cycle_ : 1) + "\n");
    const auto until = std::chrono::steady_clock::now() + limit;
    RunResult result;
    for (;;) {
        const std::size_t before = text_.size();
        const bool open = process_.read_output(text_);
        keep_history(before);
        take_bytes(result.bytes);

        const auto stop = find_stop_line(text_);
        const std::size_t prompt = stop ? text_.find(kPrompt, stop->offset) : std::string::npos;
        if (prompt != std::string::npos) {
            cycle_ = stop->cycle;
            result.hit_breakpoint = std::string_view(text_).substr(0, prompt).find(kBreakpointHit) != std::string_view::npos;
            text_.erase(0, prompt + kPrompt.size());
            return result;
        }
        if (!open)
            throw std::runtime_error("gpsim ended:\n" + recent_text());
        const auto now = std::chrono::steady_clock::now();
        if (now >= until)
            throw std::runtime_error("gpsim did not stop at cycle " + std::to_string(cycle) + ":\n" + recent_text());
        pollfd wait{process_.output(), POLLIN, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - now).count();
        if (::poll(&wait, 1, static_cast<int>(left) + 1) < 0 && errno != EINTR)
            throw std::runtime_error("poll on gpsim's console failed");
    }
}

}  // namespace bridge
