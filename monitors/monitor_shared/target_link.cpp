#include "monitors/monitor_shared/target_link.h"

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

// One check of the receive queue: the next byte, or nothing when none waits.
std::optional<std::uint8_t> take_waiting_byte()
{
    if (rt::LOC(kChannelFile) <= 0)
        return std::nullopt;
    rt::INPUT_S(1, kChannelFile);
    rt::PoppedString byte;
    if (byte.view().empty())
        return std::nullopt;
    return static_cast<std::uint8_t>(byte.view().front());
}

}  // namespace

void open_channel(std::int16_t channel, std::int16_t data_bits)
{
    const std::string device = channel_device_string(channel, data_bits);
    if (device.empty())
        return;
    stmt(__LINE__, [&] { rt::COM_SET_PARAM(static_cast<std::uint16_t>(channel), kLineSpeed); });
    stmt(__LINE__, [&] {
        rt::push_temp(device);
        rt::OPEN(6, 3, kChannelFile);
    });
}

void send_request(std::string_view request)
{
    stmt(__LINE__, [&] { print_to_file(kChannelFile, request); });
}

CommandReply read_command_reply()
{
    CommandReplyWait wait;
    ReplyState state = ReplyState::Waiting;
    while (state == ReplyState::Waiting)
        stmt(__LINE__, [&] { state = wait.pass(take_waiting_byte); });
    CommandReply result;
    result.failed = state == ReplyState::TimedOut;
    if (!result.failed)
        result.reply = wait.reply();
    return result;
}

std::optional<std::string> read_watch_reply(const std::function<void()>& on_byte)
{
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
    if (state == ReplyState::TimedOut)
        return std::nullopt;
    return wait.reply();
}

}  // namespace monitor
