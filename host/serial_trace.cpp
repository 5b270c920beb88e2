#include "host/serial_trace.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <system_error>

namespace host {

std::string format_trace_line(std::chrono::nanoseconds since_start, TraceDirection direction, std::string_view bytes)
{
    const long long micros = std::chrono::duration_cast<std::chrono::microseconds>(since_start).count();
    char head[48];
    std::snprintf(head, sizeof head, "%10lld.%03lld %s", micros / 1000, micros % 1000,
                  direction == TraceDirection::Sent ? "TX" : "RX");
    std::string line = head;
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        line += ' ';
        line += kHex[byte >> 4];
        line += kHex[byte & 0x0F];
    }
    line += "  |";
    for (const char c : bytes)
        line += c >= 0x20 && c < 0x7F ? c : '.';
    line += '|';
    return line;
}

SerialTrace::SerialTrace(const std::string& path, Clock::time_point start)
    : file_(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)), start_(start)
{
    if (!file_.valid())
        throw std::system_error(errno, std::generic_category(), "cannot create the trace file " + path);
}

SerialTrace::~SerialTrace()
{
    end_burst();
}

void SerialTrace::sent(std::string_view bytes, Clock::time_point now)
{
    if (bytes.empty())
        return;
    end_burst();
    for (std::size_t at = 0; at < bytes.size(); at += kTraceBurstBytes)
        write_line(format_trace_line(now - start_, TraceDirection::Sent, bytes.substr(at, kTraceBurstBytes)));
}

void SerialTrace::received(std::string_view bytes, Clock::time_point now)
{
    idle(now);
    for (const char c : bytes) {
        if (burst_.empty())
            burst_start_ = now;
        burst_ += c;
        if (burst_.size() == kTraceBurstBytes)
            end_burst();
    }
    burst_last_ = now;
}

void SerialTrace::idle(Clock::time_point now)
{
    if (!burst_.empty() && now - burst_last_ >= kTraceBurstGap)
        end_burst();
}

void SerialTrace::note(std::string_view text, Clock::time_point now)
{
    end_burst();
    const long long micros = std::chrono::duration_cast<std::chrono::microseconds>(now - start_).count();
    char head[32];
    std::snprintf(head, sizeof head, "%10lld.%03lld -- ", micros / 1000, micros % 1000);
    write_line(head + std::string(text));
}

void SerialTrace::end_burst()
{
    if (burst_.empty())
        return;
    write_line(format_trace_line(burst_start_ - start_, TraceDirection::Received, burst_));
    burst_.clear();
}

void SerialTrace::write_line(std::string line)
{
    line += '\n';
    std::size_t done = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(file_.get(), line.data() + done, line.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;  // a full disk loses trace lines, never the program's work
        done += static_cast<std::size_t>(n);
    }
}

}  // namespace host
