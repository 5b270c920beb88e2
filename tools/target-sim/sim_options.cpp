#include "sim_options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <string_view>

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
    "  --exit-on-stdin-eof       end when standard input ends\n";

namespace {

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
    SimOptions options;
    bool unplug_decoy = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        auto value = [&]() -> std::optional<std::string_view> {
            if (i + 1 >= arguments.size())
                return std::nullopt;
            return std::string_view(arguments[++i]);
        };
        auto fail = [&](std::string_view what) {
            error = std::string(what) + " (" + name + ")";
            return std::nullopt;
        };
        if (name == "--help" || name == "-h") {
            options.help = true;
        } else if (name == "--unpaced") {
            options.paced = false;
        } else if (name == "--exit-on-stdin-eof") {
            options.exit_on_stdin_eof = true;
        } else if (name == "--board") {
            auto v = value();
            if (v == "z80")
                options.board = BoardKind::Z80;
            else if (v == "pic")
                options.board = BoardKind::Pic;
            else
                return fail("board must be z80 or pic");
        } else if (name == "--baud") {
            auto v = value();
            if (!v || !parse_number(*v, options.baud) || options.baud == 0)
                return fail("baud must be a positive number");
        } else if (name == "--data-bits") {
            auto v = value();
            if (v == "7")
                options.data_bits = 7;
            else if (v == "8")
                options.data_bits = 8;
            else
                return fail("data bits must be 7 or 8");
        } else if (name == "--change") {
            auto v = value();
            ScheduledChange change;
            if (!v || !parse_change(*v, change))
                return fail("change must be ADDR:STEP:PERIOD_MS");
            options.changes.push_back(change);
        } else if (name == "--fill") {
            auto v = value();
            MemoryFill fill;
            const auto equals = v ? v->find('=') : std::string_view::npos;
            if (equals == std::string_view::npos || !parse_number(v->substr(0, equals), fill.address, 16) ||
                !parse_hex_bytes(v->substr(equals + 1), fill.bytes))
                return fail("fill must be ADDR=HEXBYTES");
            options.fills.push_back(std::move(fill));
        } else if (name == "--fault") {
            auto v = value();
            if (!v || !parse_fault(*v, options.faults))
                return fail("fault must be silent, late:MS, garbage, short, nul, oversize:N, noise:N or unplug:AFTER_MS:DOWN_MS");
        } else if (name == "--faulty-replies") {
            auto v = value();
            std::uint32_t count = 0;
            if (!v || !parse_number(*v, count))
                return fail("faulty-replies needs a reply count");
            options.faults.faulty_replies = count;
        } else if (name == "--faulty-address") {
            auto v = value();
            if (!v || v->empty() || !std::all_of(v->begin(), v->end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); }))
                return fail("faulty-address needs hexadecimal digits");
            options.faults.faulty_address = std::string(*v);
        } else if (name == "--hangup-after") {
            auto v = value();
            std::uint32_t count = 0;
            if (!v || !parse_number(*v, count))
                return fail("hangup-after needs a request count");
            options.faults.hangup_after = count;
        } else if (name == "--log") {
            auto v = value();
            if (!v || v->empty())
                return fail("log needs a file name");
            options.log_path = std::string(*v);
        } else if (name == "--log-reply-ends") {
            options.log_reply_ends = true;
        } else if (name == "--unplug-decoy") {
            unplug_decoy = true;
        } else if (name == "--link") {
            auto v = value();
            if (!v || v->empty())
                return fail("link needs a path");
            options.link_path = std::string(*v);
        } else {
            return fail("unknown option");
        }
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
