// The per-user settings file: sections of key=value lines that hold the
// runtime's settings (installation directory, error log) and the "ports"
// section that maps system serial ports to device paths.
//
// Location: $QK_SETTINGS_FILE when set (tests), else
// $XDG_CONFIG_HOME/qkmonitors/settings.ini, with ~/.config when XDG_CONFIG_HOME
// is unset. Section and key names match without regard to ASCII case, so a
// hand-edited file need not match it. Values are text; 32-bit values are
// written in decimal.
//
// Every call reads the file afresh, so other processes' changes are seen.
// Every write replaces the whole file through a temporary file and a rename,
// so a crash leaves either the old or the new file, never a part of one.
// Two processes writing at the same moment may lose one of the updates.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace host {

namespace settings {
inline constexpr std::string_view kEnvironmentSection = "ENV";
inline constexpr std::string_view kInstallationDirectoryKey = "Kaxel";
inline constexpr std::string_view kErrorLogSection = "RUNTIME\\ERROR";
inline constexpr std::string_view kPortsSection = "ports";
}  // namespace settings

// One value to write.
struct Setting {
    std::string key;
    std::string value;

    static Setting text(std::string_view key, std::string_view value) { return {std::string(key), std::string(value)}; }
    static Setting number(std::string_view key, std::uint32_t value) { return {std::string(key), std::to_string(value)}; }
};

class SettingsStore {
public:
    explicit SettingsStore(std::filesystem::path file) : file_(std::move(file)) {}

    // The store of the current user (see the location rules above).
    static SettingsStore for_user();
    static std::filesystem::path user_file();

    const std::filesystem::path& file() const noexcept { return file_; }

    std::optional<std::string> get_string(std::string_view section, std::string_view key) const;
    // A value that is not a decimal (or 0x-prefixed hexadecimal) 32-bit number reads as absent.
    std::optional<std::uint32_t> get_u32(std::string_view section, std::string_view key) const;
    // All entries of a section in file order.
    std::vector<std::pair<std::string, std::string>> entries(std::string_view section) const;

    // Writes report false when the file cannot be written, or when a name or
    // value holds a line break or NUL (it would corrupt the file); the file is
    // then unchanged.
    bool set_string(std::string_view section, std::string_view key, std::string_view value);
    bool set_u32(std::string_view section, std::string_view key, std::uint32_t value);
    // Several values of one section in one replacement of the file.
    bool set_values(std::string_view section, const std::vector<Setting>& values);
    bool remove(std::string_view section, std::string_view key);

private:
    std::filesystem::path file_;
};

}  // namespace host
