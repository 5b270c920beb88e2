#include "tools/target-sim/request_log.h"

#include <cerrno>
#include <system_error>

namespace sim {

RequestLog::RequestLog(const std::string& path, Clock::time_point start)
    : file_(std::fopen(path.c_str(), "w")), start_(start)
{
    if (!file_)
        throw std::system_error(errno, std::generic_category(), "open log " + path);
}

void RequestLog::line(Clock::time_point when, std::string_view tag, std::string_view bytes)
{
    if (!file_)
        return;
    const double seconds = std::chrono::duration<double>(when - start_).count();
    std::fprintf(file_.get(), "%.6f %.*s", seconds, static_cast<int>(tag.size()), tag.data());
    for (unsigned char byte : bytes)
        std::fprintf(file_.get(), " %02X", byte);
    std::fputc('\n', file_.get());
    std::fflush(file_.get());
}

void RequestLog::event(Clock::time_point when, std::string_view text)
{
    if (!file_)
        return;
    const double seconds = std::chrono::duration<double>(when - start_).count();
    std::fprintf(file_.get(), "%.6f %.*s\n", seconds, static_cast<int>(text.size()), text.data());
    std::fflush(file_.get());
}

}  // namespace sim
