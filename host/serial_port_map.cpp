#include "host/serial_port_map.h"

#include <charconv>

namespace host {

namespace {

bool parse_unsigned(std::string_view text, unsigned long& value)
{
    if (text.empty())
        return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc{} && end == text.data() + text.size();
}

}  // namespace

std::string SerialPortMap::path_for(unsigned number) const
{
    if (auto it = assigned_.find(number); it != assigned_.end())
        return it->second;
    if (unnumbered_)
        return *unnumbered_;
    if (profile_) {
        if (auto path = profile_("COM" + std::to_string(number)); path && !path->empty())
            return *path;
    }
    return "/dev/ttyS" + std::to_string(number == 0 ? 0 : number - 1);
}

long SerialPortMap::profile_integer(std::string_view key, long fallback) const
{
    if (!profile_)
        return fallback;
    auto text = profile_(key);
    if (!text)
        return fallback;
    // Leading digits count and the rest is ignored: "3 (the USB adapter)" reads as 3.
    std::string_view digits = *text;
    std::size_t n = 0;
    while (n < digits.size() && digits[n] >= '0' && digits[n] <= '9')
        ++n;
    unsigned long value = 0;
    if (!parse_unsigned(digits.substr(0, n), value) || value > 0x7FFFFFFFul)
        return fallback;
    return static_cast<long>(value);
}

std::optional<PortAssignment> parse_port_assignment(std::string_view text)
{
    auto eq = text.find('=');
    if (eq == std::string_view::npos || eq < 4 || eq + 1 >= text.size())
        return std::nullopt;
    std::string_view name = text.substr(0, eq);
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; };
    if (upper(name[0]) != 'C' || upper(name[1]) != 'O' || upper(name[2]) != 'M')
        return std::nullopt;
    unsigned long number = 0;
    if (!parse_unsigned(name.substr(3), number) || number < 1 || number > 255)
        return std::nullopt;
    return PortAssignment{static_cast<unsigned>(number), std::string(text.substr(eq + 1))};
}

}  // namespace host
