#include "tools/gpsim-bridge/bridge_options.h"

#include <charconv>

namespace bridge {

namespace {

bool parse_number(const std::string& text, unsigned low, unsigned high, unsigned& value)
{
    unsigned parsed = 0;
    const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (problem != std::errc() || end != text.data() + text.size() || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

}  // namespace

std::optional<BridgeOptions> parse_bridge_options(const std::vector<std::string>& arguments, std::string& error)
{
    BridgeOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (name == "--help" || name == "-h") {
            options.help = true;
            continue;
        }
        if (name == "--report") {
            options.report = true;
            continue;
        }
        if (i + 1 >= arguments.size()) {
            error = "unknown option or missing value: " + name;
            return std::nullopt;
        }
        const std::string& value = arguments[++i];
        if (name == "--hex") {
            options.hex_path = value;
        } else if (name == "--link") {
            options.link_path = value;
        } else if (name == "--gpsim") {
            options.gpsim = value;
        } else if (name == "--clock-mhz") {
            if (!parse_number(value, 4, 20, options.clock_mhz) || (options.clock_mhz != 4 && options.clock_mhz != 20)) {
                error = "--clock-mhz takes 4 or 20";
                return std::nullopt;
            }
        } else if (name == "--baud") {
            if (!parse_number(value, 300, 115200, options.baud)) {
                error = "--baud takes 300 to 115200";
                return std::nullopt;
            }
        } else {
            error = "unknown option: " + name;
            return std::nullopt;
        }
    }
    if (!options.help && options.hex_path.empty()) {
        error = "--hex FIRMWARE.hex is required";
        return std::nullopt;
    }
    return options;
}

}  // namespace bridge
