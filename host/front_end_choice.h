// Choosing the front end from the command line:
//
//   --ui sdl|tty|headless   (default: sdl when DISPLAY or WAYLAND_DISPLAY is set
//                            and SDL can open a window, else tty when standard
//                            input and output are terminals, else headless)
//   --script FILE           keys and waits for the headless front end ("-": standard input)
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "front_end.h"

namespace host {

enum class FrontEndKind { Automatic, Sdl, Tty, Headless };

struct FrontEndChoice {
    FrontEndKind kind = FrontEndKind::Automatic;
    std::optional<std::string> script;  // headless input script
};

// Takes the front-end options out of `arguments` (leaving the others in
// order). Throws std::invalid_argument for a bad or incomplete option.
FrontEndChoice take_front_end_options(std::vector<std::string>& arguments);

// The automatic choice for this environment, without trying SDL.
FrontEndKind default_front_end_kind(bool display_available, bool stdio_are_terminals) noexcept;

// Makes the chosen front end. Automatic tries SDL, then the terminal, then
// headless. An explicit choice that cannot start throws std::runtime_error.
std::unique_ptr<FrontEnd> make_front_end(const FrontEndChoice& choice);

// The lines that --help shows for these options.
std::string front_end_help();

}  // namespace host
