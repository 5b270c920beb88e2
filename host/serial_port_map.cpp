#include "serial_port_map.h"

#include <charconv>
#include <stdexcept>

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
    // Leading digits count, as the platform's profile reader takes them.
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

void take_port_options(std::vector<std::string>& arguments, SerialPortMap& map, LinkOptions& link,
                       unsigned highest_port)
{
    auto take_port = [&](std::string_view value) {
        if (value.empty())
            throw std::invalid_argument("--port needs a value: a tty path, or COMn=PATH");
        if (auto assignment = parse_port_assignment(value)) {
            if (assignment->number > highest_port)
                throw std::invalid_argument("--port " + std::string(value) + ": COM" +
                                            std::to_string(assignment->number) +
                                            " cannot be used; QK.DEF's CH=0..3 selects COM1..COM" +
                                            std::to_string(highest_port));
            map.assign(assignment->number, std::move(assignment->path));
            return;
        }
        auto upper = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; };
        const bool looks_numbered = value.find('=') != std::string_view::npos && value.size() > 3 &&
                                    upper(value[0]) == 'C' && upper(value[1]) == 'O' && upper(value[2]) == 'M';
        if (looks_numbered)
            throw std::invalid_argument("bad --port option \"" + std::string(value) + "\" (expected COMn=PATH)");
        map.assign_unnumbered(std::string(value));
    };
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string_view arg = arguments[i];
        auto value_of = [&](std::string_view option) -> std::string {
            if (arg.size() > option.size() && arg[option.size()] == '=')
                return std::string(arg.substr(option.size() + 1));
            if (i + 1 >= arguments.size())
                throw std::invalid_argument(std::string(option) + " needs a value");
            return arguments[++i];
        };
        if (arg == "--port" || arg.starts_with("--port=")) {
            take_port(value_of("--port"));
        } else if (arg == "--trace" || arg.starts_with("--trace=")) {
            link.trace_path = value_of("--trace");
            if (link.trace_path.empty())
                throw std::invalid_argument("--trace needs a file name");
        } else if (arg == "--no-reconnect") {
            link.reconnect = false;
        } else {
            rest.push_back(std::move(arguments[i]));
        }
    }
    arguments = std::move(rest);
}

std::string port_options_help()
{
    return "  --port COMn=PATH        use the tty PATH as system port n (CH=0 in QK.DEF opens COM1)\n"
           "  --port PATH             use the tty PATH for the channel QK.DEF selects\n"
           "  --list-ports            list the serial ports of this machine and end\n"
           "  --no-reconnect          end with error 53 when the port goes away (default: reopen it)\n"
           "  --trace FILE            write every byte sent and received to FILE\n";
}

}  // namespace host
