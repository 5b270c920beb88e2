// The gpsim commands that set up the simulated board: the PIC16F877 with the
// firmware at its crystal frequency, unimplemented registers read and written
// without stopping the simulation (as the chip does), and gpsim's usart
// module wired to RC6/TX and RC7/RX at the line rate, printing each byte the
// PIC sends as "<XX>" on the console; a breakpoint where the PIC writes a
// CR (the end of a reply) to its transmit register.
#pragma once

#include <string>

namespace bridge {

std::string startup_script(const std::string& hex_path, unsigned clock_mhz, unsigned baud);

// The command that sends one byte to the PIC's receive pin.
std::string send_byte_command(unsigned char byte);

}  // namespace bridge
