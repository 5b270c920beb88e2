// The serial link to the target as both monitors drive it: the channel open
// as file number 1, a request printed without line end, and the two reply
// readers that count their checks of the receive queue (LOC, INPUT$).
//
// Replies stay in step with requests: bytes still waiting when a request is
// sent (a reply that came after its wait gave up, the rest of a reply cut
// short by a stray end byte, line noise) are dropped first, so they cannot
// pass for the reply to the new request. A link whose channel could not be
// opened (a channel outside 0-3) sends nothing and reads as a silent target,
// idling for a tenth of a second or until the next window message instead
// of spinning through checks.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace monitor {

inline constexpr std::int32_t kChannelFile = 1;

struct CommandReply {
    std::string reply;    // "" when failed
    bool failed = false;  // no reply end within 130000 passes
};

class TargetLink {
public:
    // Sets the port speed and opens the channel's device string; a channel
    // outside 0-3 opens nothing. Returns whether the channel is open.
    bool open(std::int16_t channel, std::int16_t data_bits);
    // The channel was closed with every other file (Esc restart).
    void forget() noexcept { open_ = false; }

    // Drops the bytes waiting, then sends the request.
    void send(std::string_view request) const;

    // The command reader (typed commands and dump rows).
    CommandReply read_command_reply() const;

    // The watch reader (watch pages, change list): the reply, or nothing after
    // 10000 idle checks. `on_byte` runs whenever a byte was waiting.
    std::optional<std::string> read_watch_reply(const std::function<void()>& on_byte = {}) const;

private:
    std::optional<std::uint8_t> take_waiting_byte() const;
    bool idle_without_channel() const;
    void discard_waiting_bytes() const;

    bool open_ = false;
};

}  // namespace monitor
