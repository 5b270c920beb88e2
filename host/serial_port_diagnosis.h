// Why a serial port path cannot be opened, for the error report: the ports
// this machine does have, and a device group the user is missing.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace host {

// The serial ports present, in this order: /dev/serial/by-id/* links,
// /dev/ttyUSB*, /dev/ttyACM*, and the /dev/ttyS* that have a UART (the
// kernel reports a nonzero type in /sys/class/tty/ttyS*/type). Sorted by
// name within each kind. `dev` and `sys` are the folders to look in.
std::vector<std::string> present_serial_ports(const std::string& dev = "/dev", const std::string& sys = "/sys");

// The name of the group that owns the device at `path` when the group may
// read and write it and the calling user is not a member; nullopt otherwise.
std::optional<std::string> missing_device_group(const std::string& path);

}  // namespace host
