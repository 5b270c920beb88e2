// Qk14's serial link: the channel open, requests, and the two reply readers
// that count their checks of the receive queue.
#include <cstdint>
#include <optional>
#include <string>

#include "monitors/monitor_shared/console_output.h"
#include "monitors/monitor_shared/reply_wait.h"
#include "monitors/monitor_shared/settings_file.h"
#include "qk14_program.h"
#include "runtime/core/frame.h"
#include "runtime/core/string_ops.h"
#include "runtime/files/device_table.h"
#include "runtime/files/file_operations.h"
#include "runtime/serial/serial_channels.h"

namespace qk14 {

using rt::stmt;

namespace {

constexpr std::int32_t kChannelFile = 1;

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

void Qk14Program::open_channel()
{
    const std::string device = monitor::channel_device_string(s_.settings.channel, s_.settings.dataBits);
    if (device.empty())
        return;  // a channel outside 0-3 opens nothing
    stmt(__LINE__, [&] { rt::COM_SET_PARAM(static_cast<std::uint16_t>(s_.settings.channel), monitor::kLineSpeed); });
    stmt(__LINE__, [&] {
        rt::push_temp(device);
        rt::OPEN(6, 3, kChannelFile);
    });
}

void Qk14Program::send(std::string_view request)
{
    stmt(__LINE__, [&] { monitor::print_to_file(kChannelFile, request); });
}

void Qk14Program::reply_reader()
{
    monitor::CommandReplyWait wait;
    monitor::ReplyState state = monitor::ReplyState::Waiting;
    while (state == monitor::ReplyState::Waiting)
        stmt(__LINE__, [&] { state = wait.pass(take_waiting_byte); });
    stmt(__LINE__, [&] {
        s_.replyFailed = state == monitor::ReplyState::TimedOut;
        s_.reply = s_.replyFailed ? std::string() : wait.reply();
    });
}

std::optional<std::string> Qk14Program::watch_reply(bool track_link_fault)
{
    monitor::WatchReplyWait wait;
    monitor::ReplyState state = monitor::ReplyState::Waiting;
    while (state == monitor::ReplyState::Waiting) {
        stmt(__LINE__, [&] {
            state = wait.pass([&] {
                std::optional<std::uint8_t> byte = take_waiting_byte();
                if (byte && track_link_fault)
                    s_.linkFault = false;
                return byte;
            });
        });
    }
    if (state == monitor::ReplyState::TimedOut)
        return std::nullopt;
    return wait.reply();
}

}  // namespace qk14
