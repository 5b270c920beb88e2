// Choosing the front end from the parsed command line (program_arguments.h):
//
//   --ui sdl|tty|headless   (default: sdl when DISPLAY or WAYLAND_DISPLAY is set
//                            and SDL can open a window, else tty when standard
//                            input and output are terminals, else headless)
//   --script FILE           keys and waits for the headless front end ("-": standard input)
//   --scale N               the SDL window's starting scale
//   (scripted sessions)     no screen at all: the screenless front end
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "host/front_end.h"

namespace host {

enum class FrontEndKind { Automatic, Sdl, Tty, Headless, Screenless };

struct FrontEndChoice {
    FrontEndKind kind = FrontEndKind::Automatic;
    std::optional<std::string> script;  // headless input script
    std::optional<int> scale;           // SDL window scale; default: fits the display
};

// The automatic choice for this environment, without trying SDL.
FrontEndKind default_front_end_kind(bool display_available, bool stdio_are_terminals) noexcept;

// Makes the chosen front end. Automatic tries SDL, then the terminal when
// standard input and output are one, else headless. An explicit choice that cannot start (no display for sdl, no
// terminal with cursor addressing for tty) throws std::runtime_error whose
// text says why and what to use instead.
std::unique_ptr<FrontEnd> make_front_end(const FrontEndChoice& choice);

}  // namespace host
