// The simulator's request log: one line per request ("RX") and per reply
// ("TX"), each with its time in seconds and its bytes in hexadecimal.
#pragma once

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "tools/target-sim/hex_text.h"

namespace qk_test {

struct LogLine {
    double seconds = 0;
    std::string direction;  // "RX", "TX" or "RX-INCOMPLETE"
    std::string hex;        // bytes as written in the log: "38 30 30 30 1F"

    // The bytes as a request reads: the characters before the last byte, then
    // the last byte (the command code) as "<XX>"; "8000<1F>" for the above.
    std::string request_text() const
    {
        std::istringstream bytes(hex);
        std::string text, byte, previous;
        bool first = true;
        while (bytes >> byte) {
            if (!first)
                text.push_back(static_cast<char>(std::stoi(previous, nullptr, 16)));
            previous = byte;
            first = false;
        }
        return first ? text : text + "<" + previous + ">";
    }
};

inline std::vector<LogLine> parse_request_log(const std::string& text)
{
    std::vector<LogLine> lines;
    std::istringstream in(text);
    for (std::string row; std::getline(in, row);) {
        std::istringstream fields(row);
        LogLine line;
        if (!(fields >> line.seconds >> line.direction))
            continue;
        std::getline(fields >> std::ws, line.hex);
        lines.push_back(line);
    }
    return lines;
}

// The hexadecimal byte text of a request, e.g. request_hex("8000", 0x1F) = "38 30 30 30 1F".
inline std::string request_hex(const std::string& digits, int code)
{
    std::string hex;
    auto add = [&](unsigned byte) {
        if (!hex.empty())
            hex += ' ';
        hex += sim::hex_digit(byte >> 4);
        hex += sim::hex_digit(byte);
    };
    for (const char c : digits)
        add(static_cast<unsigned char>(c));
    add(static_cast<unsigned>(code));
    return hex;
}

// The byte text of the 16 row reads of the dump page at `page` (4 hex
// digits, a multiple of 256).
inline std::vector<std::string> row_reads_of(const std::string& page)
{
    std::vector<std::string> rows;
    for (unsigned k = 0; k < 16; ++k)
        rows.push_back(request_hex(page.substr(0, 2) + sim::hex_digit(k) + "0", 0x1F));
    return rows;
}

class RequestLog {
public:
    explicit RequestLog(const std::string& text) : lines_(parse_request_log(text)) {}

    const std::vector<LogLine>& lines() const noexcept { return lines_; }

    std::vector<std::string> received() const
    {
        std::vector<std::string> result;
        for (const LogLine& line : lines_)
            if (line.direction == "RX")
                result.push_back(line.hex);
        return result;
    }

    int count_received(const std::string& hex) const
    {
        const auto all = received();
        return static_cast<int>(std::count(all.begin(), all.end(), hex));
    }

    // Requests other than the row reads of the dump page at `page` (4 hex digits, multiple of 256).
    std::vector<std::string> received_except_rows_of(const std::string& page = "0000") const
    {
        const std::vector<std::string> rows = row_reads_of(page);
        std::vector<std::string> result;
        for (const std::string& hex : received())
            if (std::find(rows.begin(), rows.end(), hex) == rows.end())
                result.push_back(hex);
        return result;
    }

    // The requests received, in order, as request_text() shows them, leaving
    // out the row reads of the dump pages given (4 hex digits each).
    std::vector<std::string> requests_except_rows_of(const std::vector<std::string>& pages = {}) const
    {
        std::vector<std::string> rows;
        for (const std::string& page : pages) {
            const std::vector<std::string> page_rows = row_reads_of(page);
            rows.insert(rows.end(), page_rows.begin(), page_rows.end());
        }
        std::vector<std::string> result;
        for (const LogLine& line : lines_)
            if (line.direction == "RX" && std::find(rows.begin(), rows.end(), line.hex) == rows.end())
                result.push_back(line.request_text());
        return result;
    }

    // All lines as text, for failure messages.
    std::string dump() const
    {
        std::string text;
        for (const LogLine& line : lines_)
            text += std::to_string(line.seconds) + " " + line.direction + " " + line.hex + "\n";
        return text;
    }

private:
    std::vector<LogLine> lines_;
};

}  // namespace qk_test
