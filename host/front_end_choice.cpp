#include "host/front_end_choice.h"

#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

#include "host/headless_front_end.h"
#include "host/screenless_front_end.h"
#include "host/sdl_front_end_module.h"
#include "host/terminal_front_end.h"

namespace host {
namespace {

bool variable_set(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value;
}

bool display_named()
{
    return variable_set("DISPLAY") || variable_set("WAYLAND_DISPLAY");
}

std::unique_ptr<FrontEnd> make_headless(const FrontEndChoice& choice)
{
    auto headless = std::make_unique<HeadlessFrontEnd>();
    if (choice.script)
        headless->add_script_file(*choice.script);
    return headless;
}

}  // namespace

FrontEndKind default_front_end_kind(bool display_available, bool stdio_are_terminals) noexcept
{
    if (display_available)
        return FrontEndKind::Sdl;
    return stdio_are_terminals ? FrontEndKind::Tty : FrontEndKind::Headless;
}

std::unique_ptr<FrontEnd> make_front_end(const FrontEndChoice& choice)
{
    switch (choice.kind) {
    case FrontEndKind::Sdl:
        if (!display_named())
            throw std::runtime_error("--ui sdl needs a display, and neither DISPLAY nor WAYLAND_DISPLAY is set; "
                                     "use --ui tty to run in this terminal");
        return make_sdl_front_end(choice.scale);
    case FrontEndKind::Tty: return std::make_unique<TerminalFrontEnd>();
    case FrontEndKind::Headless: return make_headless(choice);
    case FrontEndKind::Screenless: return std::make_unique<ScreenlessFrontEnd>();
    case FrontEndKind::Automatic: break;
    }
    const bool terminals = isatty(STDIN_FILENO) && isatty(STDOUT_FILENO);
    if (default_front_end_kind(display_named(), terminals) == FrontEndKind::Sdl) {
        try {
            return make_sdl_front_end(choice.scale);
        } catch (const std::runtime_error&) {
            // No usable display after all: fall through to the terminal or headless.
        }
    }
    // In a terminal that cannot show the screen (unknown type, no cursor
    // addressing) the reason is reported: running headless there would
    // leave the user with nothing to see.
    if (terminals)
        return std::make_unique<TerminalFrontEnd>();
    return make_headless(choice);
}

}  // namespace host
