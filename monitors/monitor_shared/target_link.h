// The serial link to the target as both monitors drive it: the channel open
// as file number 1, a request printed without line end, and the two reply
// readers that count their checks of the receive queue (LOC, INPUT$).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace monitor {

inline constexpr std::int32_t kChannelFile = 1;

// Sets the port speed and opens the channel's device string; a channel
// outside 0-3 opens nothing.
void open_channel(std::int16_t channel, std::int16_t data_bits);

void send_request(std::string_view request);

struct CommandReply {
    std::string reply;    // "" when failed
    bool failed = false;  // no reply end within 130000 passes
};

// The command reader (typed commands and dump rows).
CommandReply read_command_reply();

// The watch reader (watch pages, change list): the reply, or nothing after
// 10000 idle checks. `on_byte` runs whenever a byte was waiting.
std::optional<std::string> read_watch_reply(const std::function<void()>& on_byte = {});

}  // namespace monitor
