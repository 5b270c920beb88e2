// What the five serial channels share for the life of the program: the serial
// fields of the program option record, the speed table and speed codes that
// COM_SET_PARAM changes, the system port map, what happens when a line goes
// away, the wire trace, and the hooks into the frame (message pump step,
// arrival event, line state). Held by each channel and by the
// runtime's serial record through a shared_ptr.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "host/serial_port_map.h"
#include "host/serial_trace.h"
#include "runtime/core/program_options.h"

namespace rt {

class SerialDevice;

inline constexpr int kSerialChannelCount = 5;
// Channel n raises arrival event kFirstArrivalEvent + n.
inline constexpr int kFirstArrivalEvent = 21;
// Speed code after COM_SET_PARAM: the speed table entry is used from then on.
inline constexpr std::uint16_t kSpeedCodeFromTable = 0xFFFF;

struct SerialConfig {
    explicit SerialConfig(const ProgramOptions& options) : options(options)
    {
        for (int n = 0; n < kSerialChannelCount; ++n) {
            speed_code[n] = options.speed_code[n];
            speed_table[n] = options.initial_speed[n];
        }
    }

    ProgramOptions options;
    std::array<std::uint16_t, kSerialChannelCount> speed_code{};
    std::array<std::uint32_t, kSerialChannelCount> speed_table{};
    host::SerialPortMap ports;
    // A line that hangs up or whose device goes away reads as a silent line
    // and is reopened every kReconnectInterval; false: its transfers fail with 53.
    bool reconnect = true;
    std::unique_ptr<host::SerialTrace> trace;  // nullptr: no trace

    // One message pump step, run between transfer attempts (program thread).
    std::function<void()> pump_step;
    // Raises an event number; called from the reader threads, so thread-safe.
    std::function<void(int event)> raise_event;
    // Whether raising an event number can have an effect (it is armed);
    // called from the reader threads, so thread-safe. Unset: always.
    std::function<bool(int event)> event_armed;
    // The line of an open channel went away (present false) or came back (program thread).
    std::function<void(int channel, const std::string& path, bool present)> line_changed;

    // The channels' device objects, registered by each for COM_SET_PARAM;
    // not owning (the device table owns them).
    std::array<SerialDevice*, kSerialChannelCount> devices{};
};

}  // namespace rt
