#include "command_display.h"

#include "screen_map.h"

namespace qk14 {

std::string response_text(std::string_view reply, bool failed)
{
    if (failed)
        return std::string(screen::kErrorText) + std::string(screen::kErrorTrailingBlanks, ' ');
    return std::string(reply);
}

std::string command_row_text(std::string_view commandLine)
{
    return std::string(commandLine) + std::string(screen::kCommandTrailingBlanks, ' ');
}

}  // namespace qk14
