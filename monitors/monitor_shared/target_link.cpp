#include "monitors/monitor_shared/target_link.h"

#include <algorithm>
#include <chrono>

#include "monitors/monitor_shared/console_output.h"
#include "monitors/monitor_shared/protocol.h"
#include "monitors/monitor_shared/reply_wait.h"
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
    open_ = true;
    return true;
}

// One check of the receive queue: the next byte, or nothing when none waits.
std::optional<std::uint8_t> TargetLink::take_waiting_byte() const
{
    if (!open_ || rt::LOC(kChannelFile) <= 0)
        return std::nullopt;
    rt::INPUT_S(1, kChannelFile);
    rt::PoppedString byte;
    if (byte.view().empty())
        return std::nullopt;
    return static_cast<std::uint8_t>(byte.view().front());
}

void TargetLink::settle_line()
{
    std::int32_t dropped = 0;
    stmt(__LINE__, [&] { dropped = rt::discard_waiting_input(kChannelFile); });
    if (dropped == 0 && unanswered_ == 0 && !reply_odd_)
        return;
    stmt(__LINE__, [&] { dropped += rt::discard_waiting_input(kChannelFile, kSettleQuiet); });
    if (dropped == 0 && last_complete_)
        unanswered_ = 0;  // a reply followed by a quiet line: nothing more is on its way
    reply_odd_ = false;
}

void TargetLink::note_reply(bool complete, std::uint8_t end_byte, bool cut) noexcept
{
    constexpr std::uint8_t kCarriageReturn = 0x0D;
    last_complete_ = complete;
    if (!complete) {
        unanswered_ = std::min(unanswered_ + 1, 1000);
        return;
    }
    reply_odd_ = cut || (end_byte < 0x20 && end_byte != kCarriageReturn);
}

void TargetLink::send(std::string_view request)
{
    if (!open_)
        return;
    settle_line();
    stmt(__LINE__, [&] { print_to_file(kChannelFile, request); });
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

CommandReply TargetLink::read_command_reply()
{
    if (idle_without_channel())
        return CommandReply{"", true};
    CommandReplyWait wait;
    ReplyState state = ReplyState::Waiting;
    while (state == ReplyState::Waiting)
        stmt(__LINE__, [&] { state = wait.pass([this] { return take_waiting_byte(); }); });
    note_reply(state == ReplyState::Complete, wait.end_byte(), wait.cut());
    CommandReply result;
    result.failed = state == ReplyState::TimedOut;
    if (!result.failed)
        result.reply = wait.reply();
    return result;
}

std::optional<std::string> TargetLink::read_watch_reply(const std::function<void()>& on_byte)
{
    if (idle_without_channel())
        return std::nullopt;
    WatchReplyWait wait;
    ReplyState state = ReplyState::Waiting;
    while (state == ReplyState::Waiting) {
        stmt(__LINE__, [&] {
            state = wait.pass([&] {
                std::optional<std::uint8_t> byte = take_waiting_byte();
                if (byte && on_byte)
                    on_byte();
                return byte;
            });
        });
    }
    note_reply(state == ReplyState::Complete, wait.end_byte(), wait.cut());
    if (state == ReplyState::TimedOut)
        return std::nullopt;
    return wait.reply();
}

}  // namespace monitor
