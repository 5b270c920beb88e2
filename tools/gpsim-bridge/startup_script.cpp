#include "tools/gpsim-bridge/startup_script.h"

#include <stdexcept>

namespace bridge {

std::string startup_script(const std::string& hex_path, unsigned clock_mhz, unsigned baud)
{
    if (hex_path.find('"') != std::string::npos || hex_path.find('\n') != std::string::npos)
        throw std::invalid_argument("the firmware path cannot contain a quote or a line end: " + hex_path);
    const std::string rate = std::to_string(baud);
    return "processor p16f877\n"
           "load \"" + hex_path + "\"\n"
           "p16f877.frequency = " + std::to_string(clock_mhz * 1000000u) + "\n"
           "p16f877.BreakOnInvalidRegisterRead = false\n"
           "p16f877.BreakOnInvalidRegisterWrite = false\n"
           "module library libgpsim_modules.so.0\n"
           "module load usart U1\n"
           "node pic_tx\n"
           "node pic_rx\n"
           "attach pic_tx portc6 U1.RXPIN\n"
           "attach pic_rx portc7 U1.TXPIN\n"
           "U1.txbaud = " + rate + "\n"
           "U1.rxbaud = " + rate + "\n"
           "U1.hex = true\n"
           "U1.console = true\n"
           // A reply ends with CR: the bridge's steps stop where the PIC sends it.
           "break w txreg == 0x0d\n";
}

std::string send_byte_command(unsigned char byte) { return "U1.tx = " + std::to_string(byte) + "\n"; }

}  // namespace bridge
