#include "monitors/monitor_shared/target_link.h"

#include <chrono>
#include <utility>

#include "monitors/monitor_shared/console_output.h"
#include "monitors/monitor_shared/protocol.h"
#include "monitors/monitor_shared/settings_file.h"
#include "runtime/core/frame.h"
#include "runtime/core/string_ops.h"
#include "runtime/files/device_table.h"
#include "runtime/files/file_operations.h"
#include "runtime/serial/serial_channels.h"

namespace monitor {

using rt::stmt;

namespace {
constexpr std::chrono::milliseconds kIdleWithoutChannel{100};
constexpr std::uint8_t kCarriageReturn = 0x0D;
// Bytes one drop before a request takes at most, so a babbling line cannot hold the program.
constexpr std::size_t kDropLimit = 64 * 1024;
constexpr std::size_t kDropChunk = 4096;

// The address of a 16-byte read (four digits, then the code), or nothing.
std::optional<std::string_view> read16_address(std::string_view request)
{
    if (request.size() != 5 || static_cast<std::uint8_t>(request.back()) != code::kRead16)
        return std::nullopt;
    return request.substr(0, 4);
}
}  // namespace

bool TargetLink::open(std::int16_t channel, std::int16_t data_bits)
{
    open_ = false;
    const std::string device = channel_device_string(channel, data_bits);
    if (device.empty())
        return false;
    stmt(__LINE__, [&] { rt::COM_SET_PARAM(static_cast<std::uint16_t>(channel), kLineSpeed); });
    stmt(__LINE__, [&] {
        rt::push_temp(device);
        rt::OPEN(6, 3, kChannelFile);
    });
    stmt(__LINE__, [&] { line_changes_ = rt::line_changes(kChannelFile); });
    open_ = true;
    request_ = Request::None;
    unsure_text_.clear();
    if (std::exchange(reopened_, false))
        sync_.fault(false);  // late replies to what was asked before the restart may follow
    else
        sync_ = LineSync{};  // a first open starts from an emptied line
    return true;
}

// One check of the receive queue: the next byte, or nothing when none waits.
// The byte is taken without waiting: a line lost since the count took it away.
std::optional<std::uint8_t> TargetLink::take_waiting_byte()
{
    if (!open_ || rt::LOC(kChannelFile) <= 0)
        return std::nullopt;
    const std::string taken = rt::take_waiting_input(kChannelFile, 1);
    if (taken.empty())
        return std::nullopt;
    if (!sync_.in_step())  // only an unsure link counts the board's silence
        sync_.bytes_arrived(LineSync::Clock::now());
    const auto byte = static_cast<std::uint8_t>(taken.front());
    if (ends_line_after_cr(byte))
        return std::nullopt;
    return byte;
}

// A board that ends its replies with CR LF: the LF belongs to the end of the
// reply before, not to the next one.
bool TargetLink::ends_line_after_cr(std::uint8_t byte) noexcept
{
    constexpr std::uint8_t kLineFeed = 0x0A;
    const bool skipped = byte == kLineFeed && last_byte_ == kCarriageReturn;
    last_byte_ = byte;
    return skipped;
}

// A line that went away (and came back) lost every request sent before.
void TargetLink::note_line_renewal()
{
    std::uint32_t changes = line_changes_;
    stmt(__LINE__, [&] { changes = rt::line_changes(kChannelFile); });
    if (changes == line_changes_)
        return;
    line_changes_ = changes;
    sync_.line_renewed();
    unsure_text_.clear();
}

// True when the line went away or came back since `changes` was read: no
// reply to what was asked before can come, so a wait ends at once.
bool TargetLink::line_changed_since(std::uint32_t changes) const
{
    return rt::line_changes(kChannelFile) != changes;
}

bool TargetLink::absorb(std::uint8_t byte)
{
    if (!unsure_text_.take(byte))
        return false;
    const bool proven = sync_.proves_in_step(unsure_text_);
    unsure_text_.clear();
    return proven;
}

// Bytes waiting before a request came unasked: the link is unsure until a
// resynchronising reply has been seen among them or after them.
void TargetLink::drop_waiting_bytes()
{
    for (std::size_t total = 0; total < kDropLimit;) {
        std::string waiting;
        stmt(__LINE__, [&] { waiting = rt::take_waiting_input(kChannelFile, kDropChunk); });
        if (waiting.empty())
            return;
        total += waiting.size();
        sync_.bytes_arrived(LineSync::Clock::now());
        for (const char c : waiting) {
            if (ends_line_after_cr(static_cast<std::uint8_t>(c)))
                continue;
            if (sync_.in_step())
                sync_.fault(false);  // in step, the last reply ended with its CR
            (void)absorb(static_cast<std::uint8_t>(c));
        }
    }
}

// Sends a resynchronising read (or, with too many requests unanswered, only
// waits for the last one sent) and drops every reply up to its own, for as
// long as the command reader waits.
bool TargetLink::resynchronise()
{
    const auto now = LineSync::Clock::now();
    if (const std::optional<std::uint8_t> count = sync_.resync_count(now)) {
        std::string request = resync_address_;
        request.push_back(static_cast<char>(code::kFirstSizedRead + *count - 1));
        stmt(__LINE__, [&] { print_to_file(kChannelFile, request); });
        sync_.resync_sent(*count, now);
    } else if (!sync_.resync_awaited()) {
        return false;
    }
    const std::uint32_t changes = line_changes_;
    for (std::uint32_t pass = 1; pass < kCommandReplyPasses; ++pass) {
        bool proven = false;
        bool changed = false;
        stmt(__LINE__, [&] {
            if (const std::optional<std::uint8_t> byte = take_waiting_byte())
                proven = absorb(*byte);
            else
                changed = line_changed_since(changes);
        });
        if (proven) {
            note_line_renewal();  // a proof on a line that came back meanwhile proves nothing
            return line_changes_ == changes;
        }
        if (changed)
            break;
    }
    note_line_renewal();
    return false;
}

void TargetLink::send(std::string_view request)
{
    if (!open_)
        return;
    request_ = Request::None;
    note_line_renewal();
    drop_waiting_bytes();
    if (!sync_.in_step() && !resynchronise()) {
        request_ = Request::NotSent;
        return;
    }
    sent_read16_address_ = std::string(read16_address(request).value_or(""));
    sent_reply_length_ = reply_length_of(request);
    sync_.request_sent(sent_reply_length_, LineSync::Clock::now());
    stmt(__LINE__, [&] { print_to_file(kChannelFile, request); });
    request_ = Request::Sent;
}

// With no channel open nothing can arrive: rather than spin through its
// checks, a reply wait sleeps until the next window message or for a tenth of
// a second, whichever comes first, and then fails as a silent line's would.
bool TargetLink::idle_without_channel() const
{
    if (open_)
        return false;
    stmt(__LINE__, [] { rt::pump_one_message_within(kIdleWithoutChannel); });
    return true;
}

bool TargetLink::reply_is_value(bool complete, bool well_formed, std::uint8_t end_byte, bool inside_reply,
                                std::uint32_t changes_before)
{
    note_line_renewal();
    if (line_changes_ != changes_before)
        return false;  // the line went away during the wait: whatever came answers nothing
    if (complete && well_formed) {
        sync_.answered();
        if (!sent_read16_address_.empty())
            resync_address_ = sent_read16_address_;
        return true;
    }
    sync_.fault(inside_reply || (complete && end_byte != kCarriageReturn));
    return false;
}

// Runs a reply wait pass by pass; it ends early (as a time-out) when the line
// goes away or comes back, since no reply to what was asked can come then.
template <class Wait>
ReplyState TargetLink::run_wait(Wait& wait, const std::function<void()>& on_byte)
{
    const std::uint32_t changes = line_changes_;
    ReplyState state = ReplyState::Waiting;
    while (state == ReplyState::Waiting) {
        bool changed = false;
        stmt(__LINE__, [&] {
            state = wait.pass([&] {
                std::optional<std::uint8_t> byte = take_waiting_byte();
                if (byte && on_byte)
                    on_byte();
                else if (!byte)
                    changed = line_changed_since(changes);
                return byte;
            });
        });
        if (changed)
            return ReplyState::TimedOut;
    }
    return state;
}

// A reply wait with no request sent (a typed command that sends nothing):
// what arrives is no answer and is not shown.
CommandReply TargetLink::unasked_reply_wait()
{
    CommandReplyWait wait;
    const ReplyState state = run_wait(wait);
    if (state == ReplyState::Complete || wait.gave_up_inside_reply())
        sync_.fault(state != ReplyState::Complete || wait.end_byte() != kCarriageReturn);
    return CommandReply{"", true};
}

// A reply with more pairs than asked for gives those asked for.
std::string TargetLink::pairs_asked_for(const std::string& reply) const
{
    if (sent_reply_length_ && reply.size() > *sent_reply_length_)
        return reply.substr(0, *sent_reply_length_);
    return reply;
}

CommandReply TargetLink::read_command_reply()
{
    if (idle_without_channel())
        return CommandReply{"", true};
    const Request request = std::exchange(request_, Request::None);
    if (request == Request::NotSent)
        return CommandReply{"", true};
    if (request == Request::None)
        return unasked_reply_wait();
    const std::uint32_t changes = line_changes_;
    CommandReplyWait wait;
    const ReplyState state = run_wait(wait);
    if (!reply_is_value(state == ReplyState::Complete, wait.well_formed(), wait.end_byte(),
                        wait.gave_up_inside_reply(), changes))
        return CommandReply{"", true};
    return CommandReply{pairs_asked_for(wait.reply()), false};
}

std::optional<std::string> TargetLink::read_watch_reply(const std::function<void()>& on_byte)
{
    if (idle_without_channel())
        return std::nullopt;
    if (std::exchange(request_, Request::None) != Request::Sent)
        return std::nullopt;
    const std::uint32_t changes = line_changes_;
    WatchReplyWait wait;
    const ReplyState state = run_wait(wait, on_byte);
    if (!reply_is_value(state == ReplyState::Complete, wait.well_formed(), wait.end_byte(),
                        wait.gave_up_inside_reply(), changes))
        return std::nullopt;
    return pairs_asked_for(wait.reply());
}

}  // namespace monitor
