// The serial ports a user can pick (--list-ports, and the ports named when a
// port cannot be opened): the links of /dev/serial/by-id with their targets
// first, then ttyS* (only those with a UART), ttyUSB* and ttyACM*, each with
// its driver and USB description from sysfs, and whether another program
// holds it or this user may not open it.
//
// Nothing is opened to find out (opening a port raises DTR, which resets some
// boards), except a ttyS* whose sysfs entry does not tell its UART type.
// "Held" means a lock on the device: an flock or POSIX lock in /proc/locks
// by another process, or a UUCP lock file (LCK..NAME) of a live process.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace host {

// Where the enumeration looks; tests point these at a fake tree.
struct SerialPortRoots {
    std::filesystem::path dev = "/dev";
    std::filesystem::path sys = "/sys";
    std::filesystem::path proc_locks = "/proc/locks";
    std::vector<std::filesystem::path> lock_directories = {"/run/lock", "/var/lock"};
};

struct SerialPortEntry {
    std::string path;         // what --port takes
    std::string target;       // a by-id link's device ("/dev/ttyUSB0"); empty otherwise
    std::string driver;       // kernel driver ("ftdi_sio", "cdc_acm", "serial8250"); empty when unknown
    std::string description;  // USB manufacturer, product, interface and ids; empty for other ports
    bool held = false;        // locked by another program
    bool accessible = true;   // this user may read and write it
};

std::vector<SerialPortEntry> list_serial_ports(const SerialPortRoots& roots = {});

// One line per port, paths in an aligned column; a line saying so when there is none.
std::string format_serial_port_list(const std::vector<SerialPortEntry>& ports);

}  // namespace host
