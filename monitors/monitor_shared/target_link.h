// The serial link to the target as both monitors drive it: the channel open
// as file number 1, a request printed without line end, and the two reply
// readers that count their checks of the receive queue (LOC, then the byte
// taken without waiting, so no read can outlast its wait once the line is
// gone).
//
// Every reply the link hands out is the board's answer to that request:
// - A reply is a value only when it is well formed (whole pairs of
//   hexadecimal digits ended by CR). Anything else fails as a silent
//   board's wait does.
// - After any fault (a wait that gave up, a malformed reply, bytes that came
//   unasked, the line lost and back) the link is unsure. Before its next
//   request it sends a resynchronising read and drops everything up to that
//   read's reply (line_sync.h); a request that cannot be proven in step is
//   not sent, and its read fails at once.
// - A sound line pays nothing: no extra request and no wait.
// - A LF right after a reply's CR (a board ending its lines with CR LF)
//   belongs to that reply's end.
//
// A link whose channel could not be opened (a channel outside 0-3) sends
// nothing and reads as a silent target, idling for a tenth of a second or
// until the next window message instead of spinning through checks.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "monitors/monitor_shared/line_sync.h"
#include "monitors/monitor_shared/reply_wait.h"

namespace monitor {

inline constexpr std::int32_t kChannelFile = 1;

struct CommandReply {
    std::string reply;    // "" when failed
    bool failed = false;  // no well-formed reply
};

class TargetLink {
public:
    // Sets the port speed and opens the channel's device string; a channel
    // outside 0-3 opens nothing. Returns whether the channel is open.
    bool open(std::int16_t channel, std::int16_t data_bits);
    // The channel was closed with every other file (Esc restart). Replies to
    // what was asked before may still come on the reopened line: the next
    // open starts unsure, remembering what may still be answered.
    void forget() noexcept
    {
        open_ = false;
        reopened_ = true;
    }

    // Sends the request once the line is known to be in step (proving it
    // first when unsure). Bytes waiting now came unasked: they are dropped
    // and make the link unsure.
    void send(std::string_view request);

    // The command reader (typed commands and dump rows). Without a request
    // sent, whatever arrives is unasked and fails.
    CommandReply read_command_reply();

    // The watch reader (watch pages, change list): the reply, or nothing after
    // 10000 idle checks. `on_byte` runs whenever a byte was waiting.
    std::optional<std::string> read_watch_reply(const std::function<void()>& on_byte = {});

private:
    enum class Request { None, Sent, NotSent };

    std::optional<std::uint8_t> take_waiting_byte();
    bool ends_line_after_cr(std::uint8_t byte) noexcept;
    bool idle_without_channel() const;
    void note_line_renewal();
    bool line_changed_since(std::uint32_t changes) const;
    template <class Wait>
    ReplyState run_wait(Wait& wait, const std::function<void()>& on_byte = {});
    // Feeds a byte that is no awaited reply's; true when it ended the
    // resynchronising reply.
    bool absorb(std::uint8_t byte);
    void drop_waiting_bytes();
    bool resynchronise();
    CommandReply unasked_reply_wait();
    std::string pairs_asked_for(const std::string& reply) const;
    // A completed or abandoned wait of an asked request; true when its reply is a value.
    bool reply_is_value(bool complete, bool well_formed, std::uint8_t end_byte, bool inside_reply,
                        std::uint32_t changes_before);

    bool open_ = false;
    bool reopened_ = false;  // forgotten by a restart since the last open
    Request request_ = Request::None;
    LineSync sync_;
    ReplyText unsure_text_;  // a reply arriving while the link is unsure
    std::uint32_t line_changes_ = 0;
    std::uint8_t last_byte_ = 0;  // the last byte taken from the line
    // Resynchronising reads go to the address of the last 16-byte read that
    // was answered: memory the program reads anyway, and which answers.
    std::string resync_address_ = "0000";
    std::string sent_read16_address_;
    std::optional<std::size_t> sent_reply_length_;
};

}  // namespace monitor
