#include "host/input_script.h"

#include <algorithm>
#include <charconv>

#include "host/code_page.h"
#include "host/key_chord.h"

namespace host {
namespace {

std::string_view trim(std::string_view s) noexcept
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

}  // namespace

std::vector<ScriptStep> parse_input_script(std::string_view script, ShiftJisCodec& codec)
{
    std::vector<ScriptStep> steps;
    int line_number = 0;
    while (!script.empty()) {
        const std::size_t end = std::min(script.find('\n'), script.size());
        const std::string_view raw_line = script.substr(0, end);
        script.remove_prefix(std::min(end + 1, script.size()));
        ++line_number;

        // "text" keeps its argument as written, spaces included, apart from the separator.
        std::string_view line = raw_line;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
            line.remove_prefix(1);
        if (line.empty() || line.front() == '#')
            continue;
        const std::size_t space = line.find_first_of(" \t");
        const std::string_view command = line.substr(0, space);
        const std::string_view argument = space == std::string_view::npos ? std::string_view{} : line.substr(space + 1);

        ScriptStep step;
        step.line = line_number;
        if (command == "text") {
            for (char byte : codec.from_utf8(argument))
                step.messages.push_back(Message{.window = 0, .kind = MessageKind::Char, .character = static_cast<std::uint8_t>(byte)});
        } else if (command == "key") {
            const auto chord = parse_key_chord(trim(argument));
            if (!chord)
                throw InputScriptError(line_number, "unknown key \"" + std::string(trim(argument)) + "\"");
            step.messages = key_chord_messages(*chord, 0);
        } else if (command == "wait") {
            const std::string_view digits = trim(argument);
            long milliseconds = -1;
            const auto [rest, error] = std::from_chars(digits.data(), digits.data() + digits.size(), milliseconds);
            if (error != std::errc{} || rest != digits.data() + digits.size() || milliseconds < 0)
                throw InputScriptError(line_number, "wait needs milliseconds");
            step.kind = ScriptStep::Kind::Wait;
            step.wait = std::chrono::milliseconds(milliseconds);
        } else if (command == "until") {
            // "until ROW TEXT": the text is the rest of the line as written after one space.
            const std::size_t gap = argument.find(' ');
            const std::string_view digits = argument.substr(0, gap);
            int row = -1;
            const auto [rest, error] = std::from_chars(digits.data(), digits.data() + digits.size(), row);
            if (error != std::errc{} || rest != digits.data() + digits.size() || row < 0 || gap == std::string_view::npos ||
                gap + 1 >= argument.size())
                throw InputScriptError(line_number, "until needs a row and a text");
            step.kind = ScriptStep::Kind::Until;
            step.row = row;
            step.path = std::string(argument.substr(gap + 1));
            if (step.path.size() > 1 && step.path.back() == '$') {
                step.path.pop_back();
                step.at_row_end = true;
            }
            step.wait = kUntilLimit;
        } else if (command == "close" && trim(argument).empty()) {
            step.kind = ScriptStep::Kind::Close;
        } else if (command == "png" || command == "screen" || command == "live" || command == "await") {
            step.kind = command == "png"      ? ScriptStep::Kind::WritePng
                        : command == "screen" ? ScriptStep::Kind::WriteScreen
                        : command == "live"   ? ScriptStep::Kind::LiveScreen
                                              : ScriptStep::Kind::Await;
            step.path = std::string(trim(argument));
            if (step.path.empty())
                throw InputScriptError(line_number, std::string(command) + " needs a file name");
        } else {
            throw InputScriptError(line_number, "unknown command \"" + std::string(command) + "\"");
        }
        steps.push_back(std::move(step));
    }
    return steps;
}

}  // namespace host
