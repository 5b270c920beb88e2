// Open and close of a serial channel.
#include "runtime/serial/serial_device.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <system_error>
#include <thread>

#include "runtime/core/error.h"
#include "runtime/serial/serial_line_defaults.h"

namespace rt {

namespace {

constexpr std::uint32_t kDefaultTransferTimeoutMs = 100;
// Pause between modem status reads while waiting for CTS/DSR at open. The
// wait stays exact to the millisecond without keeping a core busy.
constexpr std::chrono::milliseconds kModemPollPause{1};

std::uint32_t tick_ms()
{
    using namespace std::chrono;
    return static_cast<std::uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace

SerialDevice::SerialDevice(int channel, std::shared_ptr<SerialConfig> config)
    : channel_(channel), config_(std::move(config))
{
    name_ = "COM" + std::to_string(channel) + ":";
    open_kind_ = serial_kind::kClosed;
    state_ = std::make_unique<FileState>();
    config_->devices[channel_] = this;
}

SerialDevice::~SerialDevice()
{
    if (config_->devices[channel_] == this)
        config_->devices[channel_] = nullptr;
    release_port();
}

SerialOpenResult SerialDevice::open(int mode, std::string_view options_text)
{
    if (config_->options.device_access_disabled)
        return {err::kDeviceAccessDisabled};

    // Mode rules; a second open of the other direction shares the port as it is.
    std::int32_t kind = serial_kind::kClosed;
    switch (mode) {
    case 1:
    case 2: {
        const std::int32_t wanted = mode == 1 ? serial_kind::kInput : serial_kind::kOutput;
        const std::int32_t other = mode == 1 ? serial_kind::kOutput : serial_kind::kInput;
        if (open_kind_ == other) {
            open_kind_ = serial_kind::kBoth;
            state_->mode_word = -1;
            return {};
        }
        if (open_kind_ != serial_kind::kClosed)
            return {err::kDeviceUnavailable};
        kind = wanted;
        break;
    }
    case 6:
        if (open_kind_ != serial_kind::kClosed)
            return {err::kDeviceUnavailable};
        kind = serial_kind::kBoth;
        break;
    default:
        return {err::kBadFileMode};
    }

    int os_error = 0;
    const std::string path = config_->ports.path_for(static_cast<unsigned>(channel_) + 1);
    auto opened = host::SerialPort::open(path, os_error);
    if (opened) {
        port_.emplace(std::move(*opened));
    } else if (config_->reconnect && path == lost_path_) {
        // Closed and opened again while its line is gone (the monitors' Esc
        // restart): the channel opens on the lost line and waits for it.
        port_.emplace(host::SerialPort::disconnected(path));
    } else {
        return {err::kDeviceNotFound, serial_site::kPortOpen, os_error, path};
    }

    if (port_->connected() && !start_reader()) {
        release_port();
        return {err::kOutOfMemory};
    }

    std::uint16_t error = configure(options_text);
    if (error == 0 && port_->settings_error() != 0) {  // a network port's server refused the line settings
        const int refused = port_->settings_error();
        release_port();
        return {err::kDeviceUnavailable, serial_site::kPortOpen, refused, path};
    }
    if (error == 0)
        error = wait_for_modem_lines();
    if (error != 0) {
        release_port();
        return {error};
    }

    port_->set_timeouts(options_.RD != 0 ? options_.RD : kDefaultTransferTimeoutMs,
                        options_.SD != 0 ? options_.SD : kDefaultTransferTimeoutMs);
    receive_timeout_ = options_.RD;
    send_timeout_ = options_.SD;
    port_->purge();
    open_kind_ = kind;
    state_->mode_word = 0;
    next_reconnect_ = {};
    unpaced_until_ = {};
    if (port_->connected())
        lost_path_.clear();
    if (config_->line_changed)
        config_->line_changed(channel_, port_->path(), port_->connected());
    return {};
}

bool SerialDevice::start_reader()
{
    try {
        const int event = kFirstArrivalEvent + channel_;
        auto raise = config_->raise_event;
        std::function<bool()> wanted;
        if (auto armed = config_->event_armed)
            wanted = [armed, event] { return armed(event); };
        reader_ = std::make_unique<SerialReader>(
            port_->fd(),
            [raise, event] {
                if (raise)
                    raise(event);
            },
            std::move(wanted), [this] { return input_held_.load(std::memory_order_relaxed); });
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

// Whether the line of the open channel is there. A line found hung up is
// dropped (reconnection on); a dropped line is reopened when a reopen is due.
bool SerialDevice::line_present()
{
    if (!config_->reconnect || !port_)
        return true;
    if (port_->connected()) {
        if (!port_->hung_up())
            return true;
        drop_line();
    }
    const auto now = SerialPollPacer::Clock::now();
    if (now < next_reconnect_)
        return false;
    next_reconnect_ = now + kReconnectInterval;
    int os_error = 0;
    if (!port_->reconnect(os_error))
        return false;
    if (!start_reader()) {  // watched by no thread: no arrival events, but the line works
        reader_.reset();
    }
    ++line_changes_;
    unpaced_until_ = now + kLostReplyWindow;
    pacer_ = SerialPollPacer{};  // the next check looks at the returned line
    lost_path_.clear();
    if (config_->trace)
        config_->trace->note(port_->path() + " connected again");
    if (config_->line_changed)
        config_->line_changed(channel_, port_->path(), true);
    return true;
}

// The line went away: its reader thread (which ends at the hang-up) is joined
// and the descriptor closed, so the device can come back under its old name.
void SerialDevice::drop_line()
{
    reader_.reset();
    port_->disconnect();
    ++line_changes_;
    lost_path_ = port_->path();
    if (config_->trace)
        config_->trace->note(port_->path() + " disconnected");
    if (config_->line_changed)
        config_->line_changed(channel_, port_->path(), false);
}

// Line settings: those of the port, then the program's defaults, then the
// options text, then the fixed adjustments. Applies them with the queue sizes.
std::uint16_t SerialDevice::configure(std::string_view options_text)
{
    host::SerialLineSettings s = port_->read_settings().value_or(host::SerialLineSettings{});
    SerialOptions o;
    apply_serial_defaults(*config_, channel_, s, o);
    if (!apply_serial_options(options_text, s, o))
        return err::kIllegalArgument;

    s.fNull = false;  // NUL bytes are received like any other byte
    s.fBinary = true;
    parity_check_ = s.fParity;
    s.XonLim = static_cast<std::uint16_t>(o.RB / 4);
    s.XoffLim = static_cast<std::uint16_t>(o.RB / 4);
    shift_mode_ = o.data_bits == 7 && o.character_width == 8;
    write_shift_ = 0;
    read_shift_ = 0;

    // The open goes on whatever the driver makes of these two.
    (void)port_->setup_queues(static_cast<std::uint32_t>(o.RB), static_cast<std::uint32_t>(o.SB));
    (void)port_->write_settings(s);
    settings_ = s;
    options_ = o;
    return 0;
}

// Waits until CTS (when CS is given) and DSR (when DS is given) have been seen
// on; the limit is the smaller of the two time-outs.
std::uint16_t SerialDevice::wait_for_modem_lines()
{
    bool cts_seen = options_.CS == 0;
    bool dsr_seen = options_.DS == 0;
    const std::uint32_t limit = std::min(options_.CS == 0 ? 0xFFFFFFFFu : options_.CS,
                                         options_.DS == 0 ? 0xFFFFFFFFu : options_.DS);
    const std::uint32_t start = tick_ms();
    for (;;) {
        const host::SerialModemStatus status = port_->modem_status();
        cts_seen = cts_seen || status.cts;
        dsr_seen = dsr_seen || status.dsr;
        if (cts_seen && dsr_seen)
            return 0;
        if (tick_ms() - start >= limit)
            return err::kDeviceTimeout;
        std::this_thread::sleep_for(kModemPollPause);
    }
}

void SerialDevice::close() noexcept
{
    if (open_kind_ == serial_kind::kClosed)
        return;
    if (state_->mode_word == -1) {
        // Another file number still uses the channel.
        if (port_)
            port_->purge();
        state_->mode_word = 0;
        return;
    }
    release_port();
}

// The close with line drop: queues cleared, DTR dropped, reader stopped and
// joined, port closed; the record returns to closed.
void SerialDevice::release_port() noexcept
{
    if (port_) {
        port_->purge();
        port_->drop_dtr();
    }
    reader_.reset();
    port_.reset();
    open_kind_ = serial_kind::kClosed;
    state_->mode_word = 0;
}

bool SerialDevice::set_speed(std::uint32_t bits_per_second)
{
    if (!port_)
        return false;
    auto s = port_->read_settings();
    if (!s)
        return false;
    s->BaudRate = bits_per_second;
    if (!port_->write_settings(*s))
        return false;
    settings_.BaudRate = bits_per_second;
    return true;
}

}  // namespace rt
