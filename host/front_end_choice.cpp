#include "front_end_choice.h"

#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

#include "headless_front_end.h"
#include "sdl_front_end.h"
#include "terminal_front_end.h"

namespace host {
namespace {

bool variable_set(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value;
}

FrontEndKind kind_named(const std::string& name)
{
    if (name == "sdl")
        return FrontEndKind::Sdl;
    if (name == "tty")
        return FrontEndKind::Tty;
    if (name == "headless")
        return FrontEndKind::Headless;
    throw std::invalid_argument("--ui takes sdl, tty or headless, not \"" + name + "\"");
}

std::unique_ptr<FrontEnd> make_headless(const FrontEndChoice& choice)
{
    auto headless = std::make_unique<HeadlessFrontEnd>();
    if (choice.script)
        headless->add_script_file(*choice.script);
    return headless;
}

}  // namespace

FrontEndChoice take_front_end_options(std::vector<std::string>& arguments)
{
    FrontEndChoice choice;
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        auto value = [&](const std::string& option) -> std::string {
            const std::string prefix = option + "=";
            if (argument.rfind(prefix, 0) == 0)
                return argument.substr(prefix.size());
            if (i + 1 >= arguments.size())
                throw std::invalid_argument(option + " needs a value");
            return arguments[++i];
        };
        if (argument == "--ui" || argument.rfind("--ui=", 0) == 0)
            choice.kind = kind_named(value("--ui"));
        else if (argument == "--script" || argument.rfind("--script=", 0) == 0)
            choice.script = value("--script");
        else
            rest.push_back(argument);
    }
    if (choice.script && choice.kind != FrontEndKind::Headless && choice.kind != FrontEndKind::Automatic)
        throw std::invalid_argument("--script needs --ui headless");
    if (choice.script)
        choice.kind = FrontEndKind::Headless;
    arguments = std::move(rest);
    return choice;
}

FrontEndKind default_front_end_kind(bool display_available, bool stdio_are_terminals) noexcept
{
    if (display_available)
        return FrontEndKind::Sdl;
    return stdio_are_terminals ? FrontEndKind::Tty : FrontEndKind::Headless;
}

std::unique_ptr<FrontEnd> make_front_end(const FrontEndChoice& choice)
{
    switch (choice.kind) {
    case FrontEndKind::Sdl: return std::make_unique<SdlFrontEnd>();
    case FrontEndKind::Tty: return std::make_unique<TerminalFrontEnd>();
    case FrontEndKind::Headless: return make_headless(choice);
    case FrontEndKind::Automatic: break;
    }
    const bool terminals = isatty(STDIN_FILENO) && isatty(STDOUT_FILENO);
    if (default_front_end_kind(variable_set("DISPLAY") || variable_set("WAYLAND_DISPLAY"), terminals) ==
        FrontEndKind::Sdl) {
        try {
            return std::make_unique<SdlFrontEnd>();
        } catch (const std::runtime_error&) {
            // No usable display after all: fall through to the terminal or headless.
        }
    }
    if (terminals) {
        try {
            return std::make_unique<TerminalFrontEnd>();
        } catch (const std::runtime_error&) {
        }
    }
    return make_headless(choice);
}

std::string front_end_help()
{
    return "  --ui sdl|tty|headless  where the console window appears: an SDL2 window (sdl),\n"
           "                         this terminal (tty), or nowhere (headless). Default: sdl\n"
           "                         when a display is available, else tty when run in a\n"
           "                         terminal, else headless.\n"
           "  --script FILE          headless: keys and waits to play (- for standard input);\n"
           "                         implies --ui headless.\n";
}

}  // namespace host
