#include "tools/target-sim/sim_options.h"

#include <getopt.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>
#include <utility>

#include "tools/target-sim/hex_text.h"

namespace sim {

const char* const kSimUsage =
    "usage: target-sim [options]\n"
    "  --board z80|pic           board to simulate (default z80)\n"
    "  --baud N                  line rate for pacing (default 9600)\n"
    "  --unpaced                 answer at full speed\n"
    "  --data-bits 7|8           character size (7: bytes are masked to 7 bits)\n"
    "  --change ADDR:STEP:MS     add STEP to the byte at hex ADDR every MS ms (repeatable)\n"
    "  --fill ADDR=HEXBYTES      preset memory from hex ADDR (repeatable)\n"
    "  --fault silent|late:MS|garbage|short|nul|oversize:N|noise:N   inject a fault (repeatable)\n"
    "  --fault unplug:AFTER_MS:DOWN_MS        AFTER_MS after the first request close the line,\n"
    "                            DOWN_MS later re-create it at the same --link path\n"
    "  --fault unplug:AFTER_MS:DOWN_MS:TIMES  the same TIMES times, each AFTER_MS after the replug\n"
    "  --unplug-decoy            while unplugged, the link points at another session's terminal\n"
    "                            (bytes written into it are logged as DECOY-RX)\n"
    "  --faulty-replies N        reply faults hit only the first N replies\n"
    "  --faulty-address DIGITS   reply faults hit only requests whose digits begin with DIGITS\n"
    "  --hangup-after N          close the line after N requests\n"
    "  --log FILE                log received requests and sent replies\n"
    "  --log-reply-ends          also log when each reply's end byte went out\n"
    "  --link PATH               symbolic link to the pseudo-terminal\n"
    "  --exit-on-stdin-eof       end when standard input ends\n"
    "  -h, --help                show this help and exit\n"
    "Long options also take their value as --option=VALUE and may be shortened\n"
    "to any unique prefix.\n";

namespace {

// getopt_long codes of the options that have no one-letter form.
namespace long_option {
enum Code : int {
    Board = 256,
    Baud,
    Unpaced,
    DataBits,
    Change,
    Fill,
    Fault,
    UnplugDecoy,
    FaultyReplies,
    FaultyAddress,
    HangupAfter,
    Log,
    LogReplyEnds,
    Link,
    ExitOnStdinEof,
};
}  // namespace long_option

constexpr std::array<option, 17> kOptions{{
    {"help", no_argument, nullptr, 'h'},
    {"board", required_argument, nullptr, long_option::Board},
    {"baud", required_argument, nullptr, long_option::Baud},
    {"unpaced", no_argument, nullptr, long_option::Unpaced},
    {"data-bits", required_argument, nullptr, long_option::DataBits},
    {"change", required_argument, nullptr, long_option::Change},
    {"fill", required_argument, nullptr, long_option::Fill},
    {"fault", required_argument, nullptr, long_option::Fault},
    {"unplug-decoy", no_argument, nullptr, long_option::UnplugDecoy},
    {"faulty-replies", required_argument, nullptr, long_option::FaultyReplies},
    {"faulty-address", required_argument, nullptr, long_option::FaultyAddress},
    {"hangup-after", required_argument, nullptr, long_option::HangupAfter},
    {"log", required_argument, nullptr, long_option::Log},
    {"log-reply-ends", no_argument, nullptr, long_option::LogReplyEnds},
    {"link", required_argument, nullptr, long_option::Link},
    {"exit-on-stdin-eof", no_argument, nullptr, long_option::ExitOnStdinEof},
    {nullptr, 0, nullptr, 0},
}};

template <class T>
bool parse_number(std::string_view text, T& out, int base = 10)
{
    if (text.empty())
        return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out, base);
    return ec == std::errc{} && end == text.data() + text.size();
}

bool parse_hex_bytes(std::string_view text, std::vector<std::uint8_t>& out)
{
    if (text.empty() || text.size() % 2 != 0)
        return false;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        unsigned value = 0;
        if (!parse_number(text.substr(i, 2), value, 16))
            return false;
        out.push_back(static_cast<std::uint8_t>(value));
    }
    return true;
}

bool parse_change(std::string_view text, ScheduledChange& change)
{
    const auto first = text.find(':');
    const auto second = first == std::string_view::npos ? first : text.find(':', first + 1);
    if (second == std::string_view::npos)
        return false;
    unsigned period = 0;
    if (!parse_number(text.substr(0, first), change.address, 16) ||
        !parse_number(text.substr(first + 1, second - first - 1), change.step) ||
        !parse_number(text.substr(second + 1), period) || period == 0)
        return false;
    change.period = std::chrono::milliseconds(period);
    return true;
}

bool parse_fault(std::string_view text, FaultOptions& faults)
{
    if (text == "silent")
        faults.silent = true;
    else if (text == "garbage")
        faults.garbage = true;
    else if (text == "short")
        faults.short_reply = true;
    else if (text == "nul")
        faults.nul = true;
    else if (text.starts_with("oversize:")) {
        unsigned bytes = 0;
        if (!parse_number(text.substr(9), bytes))
            return false;
        faults.oversize = bytes;
    } else if (text.starts_with("noise:")) {
        unsigned bytes = 0;
        if (!parse_number(text.substr(6), bytes))
            return false;
        faults.noise = bytes;
    }
    else if (text.starts_with("late:")) {
        unsigned ms = 0;
        if (!parse_number(text.substr(5), ms))
            return false;
        faults.late = std::chrono::milliseconds(ms);
    } else if (text.starts_with("unplug:")) {
        const std::string_view times = text.substr(7);
        const auto colon = times.find(':');
        const auto repeat_colon = colon == std::string_view::npos ? colon : times.find(':', colon + 1);
        unsigned after = 0;
        unsigned down = 0;
        unsigned repeat = 1;
        if (colon == std::string_view::npos || !parse_number(times.substr(0, colon), after) ||
            !parse_number(times.substr(colon + 1, repeat_colon - colon - 1), down) ||
            (repeat_colon != std::string_view::npos && (!parse_number(times.substr(repeat_colon + 1), repeat) || repeat == 0)))
            return false;
        const bool decoy = faults.unplug && faults.unplug->decoy;
        faults.unplug = Unplug{std::chrono::milliseconds(after), std::chrono::milliseconds(down), repeat, decoy};
    } else
        return false;
    return true;
}

}  // namespace

std::chrono::nanoseconds SimOptions::byte_time() const
{
    if (!paced || baud == 0)
        return std::chrono::nanoseconds(0);
    const std::uint64_t bits = 1 + static_cast<std::uint64_t>(data_bits) + 1;
    return std::chrono::nanoseconds(bits * 1'000'000'000ull / baud);
}

std::optional<SimOptions> parse_sim_options(const std::vector<std::string>& arguments, std::string& error)
{
    // getopt_long takes writable pointers and reorders them: work on copies.
    std::vector<std::string> texts{"target-sim"};
    texts.insert(texts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(texts.size());

    SimOptions options;
    bool unplug_decoy = false;
    opterr = 0;
    optind = 0;  // a full re-initialisation, so a process may parse more than once
    for (;;) {
        int index = -1;
        const int c = getopt_long(argc, argv.data(), ":h", kOptions.data(), &index);
        if (c == -1)
            break;
        const std::string_view value = optarg ? optarg : "";
        // The option named in a message: the one taken, or the argument
        // getopt_long stopped at.
        const std::string given = index >= 0 ? "--" + std::string(kOptions[static_cast<std::size_t>(index)].name)
                                  : optind > 0 && optind <= argc ? argv[static_cast<std::size_t>(optind - 1)]
                                                                 : "";
        auto fail = [&](std::string_view what) {
            error = std::string(what) + " (" + given + ")";
            return std::nullopt;
        };
        switch (c) {
        case 'h': options.help = true; break;
        case long_option::Unpaced: options.paced = false; break;
        case long_option::ExitOnStdinEof: options.exit_on_stdin_eof = true; break;
        case long_option::Board:
            if (value == "z80")
                options.board = BoardKind::Z80;
            else if (value == "pic")
                options.board = BoardKind::Pic;
            else
                return fail("board must be z80 or pic");
            break;
        case long_option::Baud:
            if (!parse_number(value, options.baud) || options.baud == 0)
                return fail("baud must be a positive number");
            break;
        case long_option::DataBits:
            if (value == "7")
                options.data_bits = 7;
            else if (value == "8")
                options.data_bits = 8;
            else
                return fail("data bits must be 7 or 8");
            break;
        case long_option::Change: {
            ScheduledChange change;
            if (!parse_change(value, change))
                return fail("change must be ADDR:STEP:PERIOD_MS");
            options.changes.push_back(change);
            break;
        }
        case long_option::Fill: {
            MemoryFill fill;
            const auto equals = value.find('=');
            if (equals == std::string_view::npos || !parse_number(value.substr(0, equals), fill.address, 16) ||
                !parse_hex_bytes(value.substr(equals + 1), fill.bytes))
                return fail("fill must be ADDR=HEXBYTES");
            options.fills.push_back(std::move(fill));
            break;
        }
        case long_option::Fault:
            if (!parse_fault(value, options.faults))
                return fail("fault must be silent, late:MS, garbage, short, nul, oversize:N, noise:N or "
                            "unplug:AFTER_MS:DOWN_MS[:TIMES]");
            break;
        case long_option::FaultyReplies: {
            std::uint32_t count = 0;
            if (!parse_number(value, count))
                return fail("faulty-replies needs a reply count");
            options.faults.faulty_replies = count;
            break;
        }
        case long_option::FaultyAddress:
            if (value.empty() || !std::all_of(value.begin(), value.end(), is_hex_digit))
                return fail("faulty-address needs hexadecimal digits");
            options.faults.faulty_address = std::string(value);
            break;
        case long_option::HangupAfter: {
            std::uint32_t count = 0;
            if (!parse_number(value, count))
                return fail("hangup-after needs a request count");
            options.faults.hangup_after = count;
            break;
        }
        case long_option::Log:
            if (value.empty())
                return fail("log needs a file name");
            options.log_path = std::string(value);
            break;
        case long_option::LogReplyEnds: options.log_reply_ends = true; break;
        case long_option::UnplugDecoy: unplug_decoy = true; break;
        case long_option::Link:
            if (value.empty())
                return fail("link needs a path");
            options.link_path = std::string(value);
            break;
        case ':': return fail("option needs a value");
        default: return fail("unknown or ambiguous option");
        }
    }
    if (optind < argc) {
        error = "unexpected argument (" + std::string(argv[static_cast<std::size_t>(optind)]) + ")";
        return std::nullopt;
    }
    if (unplug_decoy) {
        if (!options.faults.unplug) {
            error = "--unplug-decoy needs --fault unplug:AFTER_MS:DOWN_MS";
            return std::nullopt;
        }
        options.faults.unplug->decoy = true;
    }
    return options;
}

}  // namespace sim
