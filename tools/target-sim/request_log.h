// The request log: one line per request received and one per reply sent,
//   <seconds since start, 6 decimals> RX <request bytes in hex, code last>
//   <seconds since start, 6 decimals> TX <reply bytes in hex, end byte last>
//   <seconds since start, 6 decimals> UNPLUG | REPLUG <new slave path>
// for example "0.041667 RX 38 30 30 30 1F". Digits still waiting for their
// command code when the simulator ends are logged as "RX-INCOMPLETE".
// Every line is flushed at once so a test can read the log while it runs.
#pragma once

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace sim {

class RequestLog {
public:
    using Clock = std::chrono::steady_clock;

    RequestLog() = default;  // logs nothing
    // Opens (truncates) the file; throws std::system_error.
    RequestLog(const std::string& path, Clock::time_point start);

    void received(Clock::time_point when, std::string_view bytes) { line(when, "RX", bytes); }
    void sent(Clock::time_point when, std::string_view bytes) { line(when, "TX", bytes); }
    void incomplete(Clock::time_point when, std::string_view bytes) { line(when, "RX-INCOMPLETE", bytes); }
    // A line about the line itself: "<seconds> UNPLUG", "<seconds> REPLUG /dev/pts/7".
    void event(Clock::time_point when, std::string_view text);

private:
    void line(Clock::time_point when, std::string_view tag, std::string_view bytes);

    struct FileCloser {
        void operator()(std::FILE* f) const noexcept { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, FileCloser> file_;
    Clock::time_point start_{};
};

}  // namespace sim
