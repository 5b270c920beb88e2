// The serial link to the target as both monitors drive it: the channel open
// as file number 1, a request printed without line end, and the two reply
// readers that count their checks of the receive queue (LOC, INPUT$).
//
// Replies stay in step with requests: bytes still waiting when a request is
// sent (a reply that came after its wait gave up, the rest of a reply cut
// short by a stray end byte, line noise) are dropped first, so they cannot
// pass for the reply to the new request. On a sound line the drop takes what
// has arrived without waiting, so it adds nothing to the time between a reply
// and the next request. When replies may still be on their way (bytes were
// waiting, a reply ended with a control byte other than CR or ran over the
// longest reply, or requests went unanswered, as when the board stalled with
// requests queued) the drop goes on until the line has been quiet for
// kSettleQuiet; requests left unanswered keep it so until a reply is followed
// by a quiet line. Requests whose replies are kept (typed commands, watch
// values, the change log) also wait for kQuietBeforeRequest of quiet, so
// that a burst of noise just after an earlier reply is dropped rather than
// shown or logged as their value; dump rows, refreshed all the time, do not.
//
// A link whose channel could not be opened (a channel outside 0-3) sends
// nothing and reads as a silent target, idling for a tenth of a second or
// until the next window message instead of spinning through checks.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace monitor {

inline constexpr std::int32_t kChannelFile = 1;
inline constexpr std::chrono::milliseconds kSettleQuiet{50};
inline constexpr std::chrono::milliseconds kQuietBeforeRequest{10};

// What a request waits for before it goes out.
enum class LineClearing {
    DropWaiting,   // drop what has arrived; wait for quiet only when replies may still be coming
    WaitForQuiet,  // and wait until the line has been quiet for kQuietBeforeRequest
};

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

    // Clears the line as `clearing` says, then sends the request.
    void send(std::string_view request, LineClearing clearing = LineClearing::WaitForQuiet);

    // The command reader (typed commands and dump rows).
    CommandReply read_command_reply();

    // The watch reader (watch pages, change list): the reply, or nothing after
    // 10000 idle checks. `on_byte` runs whenever a byte was waiting.
    std::optional<std::string> read_watch_reply(const std::function<void()>& on_byte = {});

private:
    std::optional<std::uint8_t> take_waiting_byte() const;
    bool idle_without_channel() const;
    void settle_line(LineClearing clearing);
    void note_reply(bool complete, std::uint8_t end_byte, bool cut) noexcept;

    bool open_ = false;
    int unanswered_ = 0;         // waits that gave up since a reply was last followed by a quiet line
    bool reply_odd_ = false;     // the last reply ended with a control byte other than CR, or was cut
    bool last_complete_ = false; // the last wait ended with a reply
};

}  // namespace monitor
