// Which tty path stands for the system port number n (COM1, COM2, ...).
//
// Looked up in this order: a `--port COMn=PATH` option, a `--port PATH`
// option (for whichever port the program opens: it opens one), the key
// "COMn" of the "ports" section of the per-user settings file, then
// /dev/ttyS(n-1).
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace host {

class SerialPortMap {
public:
    // Reads one key of the settings file's "ports" section ("COM1", "COM1:").
    using ProfileLookup = std::function<std::optional<std::string>(std::string_view key)>;

    SerialPortMap() = default;
    explicit SerialPortMap(ProfileLookup ports_section) : profile_(std::move(ports_section)) {}

    void set_profile(ProfileLookup ports_section) { profile_ = std::move(ports_section); }
    // Maps port `number` (1..) to `path`, ahead of the settings file.
    void assign(unsigned number, std::string path) { assigned_[number] = std::move(path); }
    // Maps every port without an assign() of its own to `path`.
    void assign_unnumbered(std::string path) { unnumbered_ = std::move(path); }

    std::string path_for(unsigned number) const;
    // The integer value of a key of the "ports" section, as the system port
    // speed setting uses it ("COM1:" -> 9600); `fallback` when absent or not a number.
    long profile_integer(std::string_view key, long fallback) const;

private:
    ProfileLookup profile_;
    std::map<unsigned, std::string> assigned_;
    std::optional<std::string> unnumbered_;
};

// How the serial lines behave beyond their settings: reopened after a
// hang-up (`--no-reconnect` clears it), and traced to a file (`--trace FILE`).
struct LinkOptions {
    bool reconnect = true;
    std::string trace_path;  // empty: no trace
};

// Parses "COMn=PATH" (the letters in either case, n 1..255, PATH not empty).
struct PortAssignment {
    unsigned number = 0;
    std::string path;
};
std::optional<PortAssignment> parse_port_assignment(std::string_view text);

}  // namespace host
