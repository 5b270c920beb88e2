// Command line of gpsim-bridge.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace bridge {

struct BridgeOptions {
    std::string hex_path;            // the firmware image (Intel HEX)
    std::string link_path;           // symbolic link to the pseudo-terminal's slave side
    std::string gpsim = "gpsim";     // the simulator program
    unsigned clock_mhz = 4;          // the PIC's crystal: the image must be built for it
    unsigned baud = 9600;            // the usart module's rate (the firmware's)
    bool report = false;             // timing and CPU report on standard error at the end
    bool help = false;
};

// Parses the arguments (without the program name); nothing and `error` set
// when they are not valid.
std::optional<BridgeOptions> parse_bridge_options(const std::vector<std::string>& arguments, std::string& error);

inline constexpr const char* kBridgeUsage =
    "usage: gpsim-bridge --hex FIRMWARE.hex [--link PATH] [--clock-mhz 4|20] [--baud N]\n"
    "                    [--gpsim PROGRAM] [--report]\n"
    "Runs the PIC16F877 firmware in gpsim, paced to real time, with the PIC's USART\n"
    "on a pseudo-terminal whose slave path is printed once the firmware runs.\n";

}  // namespace bridge
