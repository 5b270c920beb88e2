// Turns a typed command line into what the monitor does with it: refuse it,
// send a request (the exact bytes, code byte last), move the dump page (J), or
// send nothing and wait for a reply anyway (a letter outside the table).
//
// A board with `strict_commands` (Qk14) checks exact lengths and the bit
// number; the other (QkP877W) takes minimum lengths, sends every argument
// digit and has no bit rule. J exists where the board has `jump_command`.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "monitors/monitor_shared/board_description.h"

namespace monitor {

inline constexpr std::size_t kCommandLineMax = 37;

struct CommandOutcome {
    enum class Kind {
        Refused,    // nothing sent; the error display (Qk14) or a blank response (QkP877W)
        Send,       // `request` goes on the line, then the reply wait
        Jump,       // J: `dump_base` is the new dump page
        NoRequest,  // nothing sent, but the reply wait runs
    };
    Kind kind = Kind::Refused;
    std::string request;
    std::uint16_t dump_base = 0;
    std::string command_line;  // the line as executed: first 37 bytes, upper-cased
};

CommandOutcome prepare_command(std::string_view command_line, const BoardDescription& board);

// The argument text of W in its text form: W aaaa:text becomes aaaa followed
// by two hexadecimal digits per text byte. Empty when the text is empty.
std::string expand_write_text(std::string_view args);

}  // namespace monitor
