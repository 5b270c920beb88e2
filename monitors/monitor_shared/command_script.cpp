#include "monitors/monitor_shared/command_script.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <stdexcept>

namespace monitor {

namespace {

bool is_blank(char c) noexcept { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

void add_lines(std::istream& in, std::vector<std::string>& commands)
{
    for (std::string line; std::getline(in, line);)
        if (auto command = command_on_line(line))
            commands.push_back(std::move(*command));
}

}  // namespace

std::optional<std::string> command_on_line(std::string_view line)
{
    std::size_t first = 0;
    while (first < line.size() && is_blank(line[first]))
        ++first;
    std::size_t end = line.size();
    while (end > first && is_blank(line[end - 1]))
        --end;
    if (first == end || line[first] == '#')
        return std::nullopt;
    return std::string(line.substr(first, end - first));
}

std::vector<std::string> script_commands(const rt::ScriptedRun& run)
{
    std::vector<std::string> commands;
    for (const rt::ScriptedRun::CommandSource& source : run.commands) {
        if (!source.file) {
            commands.push_back(source.text);
            continue;
        }
        if (source.text == "-") {
            add_lines(std::cin, commands);
            if (std::cin.bad())
                throw std::runtime_error("cannot read the commands from standard input: " +
                                         std::string(std::strerror(errno)));
            continue;
        }
        std::ifstream file(source.text, std::ios::binary);
        if (!file)
            throw std::runtime_error("cannot read the command file " + source.text + ": " + std::strerror(errno));
        add_lines(file, commands);
        if (file.bad())
            throw std::runtime_error("cannot read the command file " + source.text + ": " + std::strerror(errno));
    }
    return commands;
}

}  // namespace monitor
