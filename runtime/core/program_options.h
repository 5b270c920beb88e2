// The program option record: each program's built-in runtime options, copied
// into the runtime's settings at start-up. Both monitors carry the defaults.
#pragma once

#include <array>
#include <cstdint>

namespace rt {

struct ProgramOptions {
    // Pump interval N: STMT pumps messages on the first and then every (N+1)-th statement.
    std::uint32_t pump_interval = 10;

    // Serial defaults.
    std::uint8_t xon_char = 0x11;
    std::uint8_t xoff_char = 0x13;
    bool error_char_enabled = false;
    bool use_system_port_speed = false;
    std::array<std::uint8_t, 5> speed_code{2, 2, 2, 2, 2};          // 300 * 2^code bit/s
    bool keep_shift_state = false;
    std::array<std::uint16_t, 5> line_format{0x0109, 0x0109, 0x0109, 0x0109, 0x0109};
    std::array<std::uint32_t, 5> initial_speed{0, 0, 0, 0, 0};      // 0: use the speed code
    bool device_access_disabled = false;

    // Files.
    std::uint16_t default_record_length = 256;
    bool disk_files_disabled = false;

    // Console.
    bool shift_home_clears_screen = true;
    std::uint32_t hide_window = 0;
    std::uint32_t box_origin_offset = 0;
    bool drawing_disabled = false;
};

}  // namespace rt
