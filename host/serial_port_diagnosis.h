// Why a serial port cannot be opened, for the error report: a device group
// the user is missing (the ports present come from serial_port_list.h).
#pragma once

#include <optional>
#include <string>

namespace host {

// The name of the group that owns the device at `path` when the group may
// read and write it and the calling user is not a member; nullopt otherwise.
std::optional<std::string> missing_device_group(const std::string& path);

}  // namespace host
