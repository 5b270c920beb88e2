// The SDL front end lives in a module of its own (qk-sdl-front-end.so), loaded
// only when a window is wanted: a program that runs in a terminal or headless
// never maps SDL and the libraries it pulls in (audio, X11, Wayland), which
// made up most of the start-up's work.
//
// The module is looked for beside the executable (the build tree) and in
// <prefix>/lib/qkmonitors/ for an executable in <prefix>/bin/. Once loaded it
// stays loaded until the process ends.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/front_end.h"

namespace host {

inline constexpr const char* kSdlFrontEndModuleFile = "qk-sdl-front-end.so";
// The module's one exported function: makes the front end or throws
// std::runtime_error (no display, SDL failing).
inline constexpr const char* kSdlFrontEndFactoryName = "qk_make_sdl_front_end";
using SdlFrontEndFactory = void (*)(std::optional<int> scale, std::unique_ptr<FrontEnd>& made);

// Where the module is looked for, in order, for the executable at `executable_path`.
std::vector<std::string> sdl_front_end_module_paths(const std::string& executable_path);

// Loads the module and makes the SDL front end. Throws std::runtime_error when
// the module is missing or unusable (the text names the paths tried), or
// what the front end's constructor throws.
std::unique_ptr<FrontEnd> make_sdl_front_end(std::optional<int> scale);

}  // namespace host
