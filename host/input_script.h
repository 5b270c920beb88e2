// Scripts of keys and waits for the headless front end (format in host/README.md):
//
//   text abc        characters, UTF-8 in the script, sent as Shift-JIS Char messages
//   key F5          one key press; modifiers: key shift+Home, key ctrl+C
//   wait 500        milliseconds before the next line takes effect
//   until 3 0000    holds the next lines until screen row 3 shows the text (at most 30 s);
//                   a text ending in '$' must end the row (trailing blanks aside)
//   close           the user closes the window
//   png out.png     writes the client area as a PNG file
//   screen out.txt  writes the screen's text rows (UTF-8); "screen -" to standard output
//   live out.txt    from now on rewrites out.txt whenever the text rows change
//   await go        the following lines take effect once the file "go" exists
//
// Empty lines and lines starting with '#' are ignored.
#pragma once

#include <chrono>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "host/message.h"

namespace host {

class ShiftJisCodec;

struct ScriptStep {
    enum class Kind { Messages, Wait, Until, Close, WritePng, WriteScreen, LiveScreen, Await };
    Kind kind = Kind::Messages;
    std::vector<Message> messages;  // window 0: the main window
    std::chrono::milliseconds wait{0};  // Until: the longest it holds the script
    int row = 0;                        // Until: the screen row, from 0
    std::string path;                   // Until: the text (UTF-8)
    bool at_row_end = false;            // Until: the text ends the row
    int line = 0;
};

class InputScriptError : public std::runtime_error {
public:
    InputScriptError(int line, const std::string& what)
        : std::runtime_error("script line " + std::to_string(line) + ": " + what), line_(line)
    {
    }
    int line() const noexcept { return line_; }

private:
    int line_;
};

// How long an "until" line holds the script at most before it goes on.
inline constexpr std::chrono::seconds kUntilLimit{30};

// Throws InputScriptError for an unknown command or a bad argument.
std::vector<ScriptStep> parse_input_script(std::string_view script, ShiftJisCodec& codec);

}  // namespace host
