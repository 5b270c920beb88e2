#include "runtime/core/message_library.h"

#include <dlfcn.h>

#include <cstring>
#include <vector>

#include "host/settings_store.h"
#include "runtime/core/program_start.h"

namespace rt {

namespace {

constexpr std::size_t kMaxDirectoryLength = 260;

class LoadedLibrary {
public:
    explicit LoadedLibrary(const std::string& path) noexcept : handle_(::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {}
    ~LoadedLibrary()
    {
        if (handle_)
            ::dlclose(handle_);
    }
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    void* handle() const noexcept { return handle_; }

private:
    void* handle_;
};

}  // namespace

std::optional<std::string> message_text_from(const std::string& library_path, std::uint16_t number,
                                             std::size_t buffer_size)
{
    if (buffer_size < 2 || buffer_size > 0xFFFF)
        return std::nullopt;
    // A name without a directory would make the loader search the system's
    // library path; the library belongs in the given directory only.
    const std::string path = library_path.find('/') == std::string::npos ? "./" + library_path : library_path;
    LoadedLibrary library(path);
    if (!library.handle())
        return std::nullopt;
    auto lookup = reinterpret_cast<GetErrorMessageFunction>(::dlsym(library.handle(), kMessageFunctionName));
    if (!lookup)
        return std::nullopt;
    std::vector<char> buffer(buffer_size, '\0');
    if (lookup(library.handle(), number, buffer.data(), static_cast<std::uint16_t>(buffer_size)) == 0)
        return std::nullopt;
    buffer.back() = '\0';
    return std::string(buffer.data(), ::strnlen(buffer.data(), buffer_size));
}

std::vector<std::string> message_library_folders(const std::string& executable_path)
{
    const std::size_t slash = executable_path.rfind('/');
    if (slash == std::string::npos)
        return {};
    const std::string folder = executable_path.substr(0, slash + 1);
    return {folder, folder + "../lib/qkmonitors/"};
}

std::optional<std::string> error_message_text(std::uint16_t number, std::size_t buffer_size)
{
    const auto directory = host::SettingsStore::for_user().get_string(host::settings::kEnvironmentSection,
                                                                      host::settings::kInstallationDirectoryKey);
    if (directory) {
        if (directory->size() > kMaxDirectoryLength)
            return std::nullopt;
        return message_text_from(*directory + std::string(kMessageLibraryFile), number, buffer_size);
    }
    for (const std::string& folder : message_library_folders(executable_path()))
        if (auto text = message_text_from(folder + std::string(kMessageLibraryFile), number, buffer_size))
            return text;
    return std::nullopt;
}

}  // namespace rt
