#include "host/serial_port_list.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <sstream>

#include "host/file_descriptor.h"

namespace host {

namespace fs = std::filesystem;

namespace {

// The first line of a small sysfs or lock file, without surrounding blanks.
std::string first_line(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    const auto first = line.find_first_not_of(" \t\r");
    const auto last = line.find_last_not_of(" \t\r");
    return first == std::string::npos ? std::string() : line.substr(first, last - first + 1);
}

// "ttyS10" after "ttyS9": by prefix, then by number.
bool natural_less(const std::string& a, const std::string& b)
{
    const auto split = [](const std::string& name) {
        std::size_t digits = name.size();
        while (digits > 0 && name[digits - 1] >= '0' && name[digits - 1] <= '9')
            --digits;
        const std::string number = name.substr(digits);
        return std::make_pair(name.substr(0, digits), number.empty() ? -1L : std::stol(number));
    };
    return split(a) < split(b);
}

std::vector<std::string> names_in(const fs::path& directory, const std::string& prefix)
{
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.starts_with(prefix) && name.size() > prefix.size())
            names.push_back(name);
    }
    std::sort(names.begin(), names.end(), natural_less);
    return names;
}

// A ttyS* is a port only when a UART stands behind it.
bool has_uart(const SerialPortRoots& roots, const std::string& name)
{
    const std::string type = first_line(roots.sys / "class/tty" / name / "type");
    if (!type.empty())
        return type != "0";
    FileDescriptor fd(::open((roots.dev / name).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    serial_struct info{};
    return fd.valid() && ::ioctl(fd.get(), TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
}

void describe_from_sysfs(const SerialPortRoots& roots, const std::string& name, SerialPortEntry& entry)
{
    std::error_code error;
    fs::path directory = fs::canonical(roots.sys / "class/tty" / name / "device", error);
    if (error)
        return;
    // The serial core's own port and controller devices stand between a UART
    // and the device its driver serves: the driver is the first one above them.
    fs::path at = directory;
    for (int level = 0; level < 4 && entry.driver.empty() && at != at.root_path(); ++level, at = at.parent_path()) {
        const fs::path driver = fs::read_symlink(at / "driver", error);
        if (!error && driver.string().find("/serial-base/") == std::string::npos)
            entry.driver = driver.filename().string();
    }
    // Up from the tty's device: the USB interface (its name), then the USB device.
    std::string interface_name;
    for (int level = 0; level < 4 && !directory.empty() && directory != directory.root_path(); ++level) {
        if (interface_name.empty())
            interface_name = first_line(directory / "interface");
        if (fs::exists(directory / "idVendor", error)) {
            std::string text = first_line(directory / "manufacturer");
            const std::string product = first_line(directory / "product");
            if (!product.empty())
                text += (text.empty() ? "" : " ") + product;
            if (!interface_name.empty() && interface_name != product)
                text += (text.empty() ? "" : ", ") + interface_name;
            text += (text.empty() ? "(" : " (") + first_line(directory / "idVendor") + ":" +
                    first_line(directory / "idProduct") + ")";
            entry.description = text;
            return;
        }
        directory = directory.parent_path();
    }
}

// Device and inode numbers of the files locked by other processes, as
// /proc/locks gives them ("MAJOR:MINOR:INODE", the numbers in hex, hex, decimal).
std::vector<std::string> locked_files(const fs::path& proc_locks)
{
    std::vector<std::string> files;
    std::ifstream in(proc_locks);
    const std::string own_pid = std::to_string(::getpid());
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::vector<std::string> words;
        for (std::string word; fields >> word;)
            if (word != "->")  // a waiter, listed under the lock it waits for
                words.push_back(word);
        if (words.size() >= 6 && words[4] != own_pid)
            files.push_back(words[5]);
    }
    return files;
}

bool held_by_lock_file(const SerialPortRoots& roots, const std::string& name)
{
    for (const fs::path& directory : roots.lock_directories) {
        const std::string text = first_line(directory / ("LCK.." + name));
        if (text.empty())
            continue;
        long pid = 0;
        try {
            pid = std::stol(text);
        } catch (const std::exception&) {
            continue;
        }
        if (pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM))
            return true;
    }
    return false;
}

SerialPortEntry describe(const SerialPortRoots& roots, const fs::path& path, const std::string& name,
                         const std::vector<std::string>& locked)
{
    SerialPortEntry entry;
    entry.path = path.string();
    describe_from_sysfs(roots, name, entry);
    entry.accessible = ::access(path.c_str(), R_OK | W_OK) == 0;
    struct stat info{};
    if (::stat(path.c_str(), &info) == 0) {
        char key[64];
        std::snprintf(key, sizeof key, "%02x:%02x:%llu", major(info.st_dev), minor(info.st_dev),
                      static_cast<unsigned long long>(info.st_ino));
        entry.held = std::find(locked.begin(), locked.end(), key) != locked.end();
    }
    entry.held = entry.held || held_by_lock_file(roots, name);
    return entry;
}

}  // namespace

std::vector<SerialPortEntry> list_serial_ports(const SerialPortRoots& roots)
{
    const std::vector<std::string> locked = locked_files(roots.proc_locks);
    std::vector<SerialPortEntry> ports;
    const fs::path by_id = roots.dev / "serial/by-id";
    for (const std::string& link : names_in(by_id, "")) {
        std::error_code error;
        const fs::path target = fs::canonical(by_id / link, error);
        if (error)
            continue;  // a link to a device that is gone
        SerialPortEntry entry = describe(roots, by_id / link, target.filename().string(), locked);
        entry.target = target.string();
        ports.push_back(std::move(entry));
    }
    for (const char* prefix : {"ttyS", "ttyUSB", "ttyACM"}) {
        for (const std::string& name : names_in(roots.dev, prefix)) {
            if (std::string_view(prefix) == "ttyS" && !has_uart(roots, name))
                continue;
            ports.push_back(describe(roots, roots.dev / name, name, locked));
        }
    }
    return ports;
}

std::string format_serial_port_list(const std::vector<SerialPortEntry>& ports)
{
    if (ports.empty())
        return "No serial ports found.\n";
    const auto shown_path = [](const SerialPortEntry& port) {
        return port.target.empty() ? port.path : port.path + " -> " + port.target;
    };
    std::size_t path_width = 0;
    std::size_t driver_width = 0;
    for (const SerialPortEntry& port : ports) {
        path_width = std::max(path_width, shown_path(port).size());
        driver_width = std::max(driver_width, port.driver.size());
    }
    std::string text;
    for (const SerialPortEntry& port : ports) {
        std::string line = shown_path(port);
        line.resize(path_width + 2, ' ');
        line += port.driver;
        std::vector<std::string> notes;
        if (!port.description.empty())
            notes.push_back(port.description);
        if (port.held)
            notes.push_back("[in use by another program]");
        if (!port.accessible)
            notes.push_back("[no read/write access for this user]");
        for (std::size_t i = 0; i < notes.size(); ++i) {
            line.resize(i == 0 ? path_width + 2 + driver_width + 2 : line.size() + 2, ' ');
            line += notes[i];
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        text += line + '\n';
    }
    return text;
}

}  // namespace host
