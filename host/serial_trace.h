// The wire trace (--trace FILE): every byte sent and received on the serial
// lines, one line per burst:
//
//      1234.567 TX 38 30 30 30 1F  |8000.|
//      1236.002 RX 30 30 46 46 0D  |00FF.|
//      2500.000 -- /dev/ttyUSB0 disconnected
//
// The first field is the time of the burst's first byte in milliseconds since
// the trace began; then the direction, the bytes in hexadecimal and the bytes
// as text ('.' for a byte that is not printable ASCII). A burst is what one
// write sent, or bytes received with less than kTraceBurstGap between them
// (at most kTraceBurstBytes per line). Each line goes to the file with one
// write(2) as soon as it is complete, so a crash or SIGKILL loses nothing
// already traced.
//
// Program thread only.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "host/file_descriptor.h"

namespace host {

inline constexpr std::chrono::milliseconds kTraceBurstGap{10};
inline constexpr std::size_t kTraceBurstBytes = 64;

enum class TraceDirection { Sent, Received };

// One trace line without its line end (exposed for tests).
std::string format_trace_line(std::chrono::nanoseconds since_start, TraceDirection direction, std::string_view bytes);

class SerialTrace {
public:
    using Clock = std::chrono::steady_clock;

    // Creates (truncates) the file; throws std::system_error when it cannot.
    explicit SerialTrace(const std::string& path, Clock::time_point start = Clock::now());
    // Writes a burst still being collected.
    ~SerialTrace();
    SerialTrace(const SerialTrace&) = delete;
    SerialTrace& operator=(const SerialTrace&) = delete;

    // Bytes that went out in one write: one line (after any received burst).
    void sent(std::string_view bytes, Clock::time_point now = Clock::now());
    // Bytes taken from the line: added to the received burst.
    void received(std::string_view bytes, Clock::time_point now = Clock::now());
    // Ends the received burst when the line has been quiet for the burst gap.
    void idle(Clock::time_point now = Clock::now());
    // A line of its own about the link ("-- TEXT").
    void note(std::string_view text, Clock::time_point now = Clock::now());

private:
    void end_burst();
    void write_line(std::string line);

    FileDescriptor file_;
    Clock::time_point start_;
    std::string burst_;  // received bytes not yet written
    Clock::time_point burst_start_{};
    Clock::time_point burst_last_{};
};

}  // namespace host
