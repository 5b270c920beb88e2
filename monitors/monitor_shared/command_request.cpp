#include "monitors/monitor_shared/command_request.h"

#include <algorithm>

#include "monitors/monitor_shared/protocol.h"
#include "runtime/core/number_text.h"
#include "runtime/core/string_functions.h"

namespace monitor {

namespace {

bool is_upper_hex_digit(char c) noexcept { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

struct LetterRule {
    char letter;
    std::size_t length;    // Qk14: exact (W: minimum); QkP877W: minimum (R: exact)
    bool bit_rule;         // with strict commands only
    std::uint8_t code;
};

constexpr LetterRule kRules[] = {
    {'R', 5, false, code::kRead16},     {'S', 6, true, code::kSetBit},     {'C', 6, true, code::kClearBit},
    {'I', 3, false, code::kPortIn},     {'O', 5, false, code::kPortOut},   {'H', 4, true, code::kPortBitHigh},
    {'L', 4, true, code::kPortBitLow},
};

const LetterRule* rule_for(char letter)
{
    for (const auto& rule : kRules)
        if (rule.letter == letter)
            return &rule;
    return nullptr;
}

CommandOutcome refused(std::string line)
{
    CommandOutcome outcome;
    outcome.command_line = std::move(line);
    return outcome;
}

}  // namespace

std::string expand_write_text(std::string_view args)
{
    if (args.size() <= 5)
        return {};
    std::string expanded(args.substr(0, 4));
    for (unsigned char byte : args.substr(5)) {
        const std::string digits = rt::hex_text(byte);
        expanded.append(2 - digits.size(), '0').append(digits);
    }
    return expanded;
}

CommandOutcome prepare_command(std::string_view command_line, const BoardDescription& board)
{
    if (command_line.empty())
        return refused({});
    std::string line = rt::upper_case(command_line.substr(0, kCommandLineMax));
    const char letter = line[0];
    std::string args = line.substr(1);
    const std::size_t length = line.size();

    if (letter == 'W' && args.size() >= 5 && args[4] == ':') {
        args = expand_write_text(args);
        if (args.empty())
            return refused(std::move(line));
    }
    // The hexadecimal check covers as many bytes as the typed arguments had;
    // it looks at the first byte even when there is none.
    const std::size_t checked = std::max<std::size_t>(length - 1, 1);
    for (std::size_t i = 0; i < checked; ++i)
        if (i >= args.size() || !is_upper_hex_digit(args[i]))
            return refused(std::move(line));

    CommandOutcome outcome;
    outcome.command_line = line;

    if (letter == 'W') {
        if (length < 7 || args.size() % 2 != 0)
            return refused(std::move(line));
        const auto count = (args.size() - 4) / 2;
        outcome.kind = CommandOutcome::Kind::Send;
        outcome.request = args;
        outcome.request.push_back(static_cast<char>(count - 1));
        return outcome;
    }
    if (letter == 'J' && board.jump_command) {
        if (length != 3 && length != 5)
            return refused(std::move(line));
        outcome.kind = CommandOutcome::Kind::Jump;
        outcome.dump_base = static_cast<std::uint16_t>(std::stoul(args.substr(0, 2), nullptr, 16) << 8);
        return outcome;
    }
    const LetterRule* rule = rule_for(letter);
    if (!rule) {
        outcome.kind = CommandOutcome::Kind::NoRequest;
        return outcome;
    }
    const bool exact = board.strict_commands || letter == 'R';
    if (exact ? length != rule->length : length < rule->length)
        return refused(std::move(line));
    if (board.strict_commands && rule->bit_rule && args.back() > '7')
        return refused(std::move(line));
    outcome.kind = CommandOutcome::Kind::Send;
    outcome.request = args;
    outcome.request.push_back(static_cast<char>(rule->code));
    return outcome;
}

}  // namespace monitor
