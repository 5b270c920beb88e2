// The runtime's serial record and the serial operations that are not file
// operations: installation of the five channels into the device table, and
// COM_SET_PARAM.
//
// The start routine installs the channels once the device table is there:
//     rt::install_serial_devices(runtime);             // ports from the settings file
//     rt::install_serial_devices(runtime, rt::user_serial_port_map(command_line.ports),
//                                rt::serial_link_options(command_line));
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/program_arguments.h"
#include "host/serial_port_map.h"
#include "runtime/core/runtime.h"
#include "runtime/serial/serial_config.h"

namespace rt {

class SerialChannels final : public RuntimeExtension {
public:
    explicit SerialChannels(std::shared_ptr<SerialConfig> config) : config_(std::move(config)) {}

    static SerialChannels& current();
    SerialConfig& config() noexcept { return *config_; }

private:
    std::shared_ptr<SerialConfig> config_;
};

// The system port map of a program: the --port options, then the "ports"
// section of the user's settings file, default /dev/ttyS(n-1).
host::SerialPortMap user_serial_port_map(const std::vector<host::PortOption>& port_options = {});

// What the command line says about the lines: reconnection, the trace file.
host::LinkOptions serial_link_options(const host::ProgramArguments& command_line);

// The serial ports of this machine, one line each (--list-ports).
std::string serial_port_list_text();

// Registers the serial devices COM0: .. COM4: in slots 10..14 of the
// runtime's device table (which must be installed), and the serial opener.
// While a line is gone, the main window's title names its path. A trace file
// that cannot be created throws std::system_error.
void install_serial_devices(Runtime& runtime);
void install_serial_devices(Runtime& runtime, host::SerialPortMap ports, const host::LinkOptions& link = {});

// Sets the speed of serial channel 0..4 for this and every later open.
// Channel above 4: error 5 (0x8F01); an open port refusing the speed: error 5
// (0x8F02); speed 0, which would leave no usable speed: error 5 (0x8F03).
void COM_SET_PARAM(std::uint16_t channel, std::uint32_t speed);

}  // namespace rt
