#include "host/sdl_front_end_module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <stdexcept>

namespace host {
namespace {

std::string this_executable()
{
    std::string path(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    path.resize(n > 0 ? std::size_t(n) : 0);
    return path;
}

// A loaded module. RTLD_NODELETE keeps its code mapped after the handle is
// closed: the front end it made (and its destructor) outlives this handle.
class ModuleHandle {
public:
    explicit ModuleHandle(const std::string& path) noexcept
        : handle_(::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE))
    {
    }
    ~ModuleHandle()
    {
        if (handle_)
            ::dlclose(handle_);
    }
    ModuleHandle(const ModuleHandle&) = delete;
    ModuleHandle& operator=(const ModuleHandle&) = delete;

    void* get() const noexcept { return handle_; }

private:
    void* handle_;
};

}  // namespace

std::vector<std::string> sdl_front_end_module_paths(const std::string& executable_path)
{
    const std::size_t slash = executable_path.rfind('/');
    if (slash == std::string::npos)
        return {};
    const std::string folder = executable_path.substr(0, slash + 1);
    return {folder + kSdlFrontEndModuleFile, folder + "../lib/qkmonitors/" + kSdlFrontEndModuleFile};
}

std::unique_ptr<FrontEnd> make_sdl_front_end(std::optional<int> scale)
{
    std::string failures;
    for (const std::string& path : sdl_front_end_module_paths(this_executable())) {
        if (::access(path.c_str(), F_OK) != 0) {
            failures += "\n  " + path + ": not found";
            continue;
        }
        const ModuleHandle module(path);
        if (!module.get()) {
            const char* error = ::dlerror();
            failures += "\n  " + path + ": " + (error ? error : "cannot be loaded");
            continue;
        }
        auto factory = reinterpret_cast<SdlFrontEndFactory>(::dlsym(module.get(), kSdlFrontEndFactoryName));
        if (!factory) {
            failures += "\n  " + path + ": no " + kSdlFrontEndFactoryName;
            continue;
        }
        std::unique_ptr<FrontEnd> made;
        factory(scale, made);
        return made;
    }
    throw std::runtime_error("the window front end cannot be loaded:" + failures +
                             "\nuse --ui tty to run in this terminal");
}

}  // namespace host
