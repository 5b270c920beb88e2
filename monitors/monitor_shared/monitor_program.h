// The skeleton both monitors run, statement by statement on the runtime:
// start-up, the screen frame, the main loop of key step, mode step and poll
// step, the function keys and the clock as runtime events, the dump page,
// the watch pages of F2-F9 and the change row of mode 11. A board's program
// derives from it with its description (the rules the skeleton reads) and
// overrides what it does differently: command execution, the F10 and F11
// entries and its own parts of the frame.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "monitors/monitor_shared/board_description.h"
#include "monitors/monitor_shared/monitor_state.h"
#include "monitors/monitor_shared/protocol.h"
#include "monitors/monitor_shared/screen_place.h"

namespace monitor {

// The frame both boards draw.
inline constexpr ScreenPlace kBannerPlace{1, 0};
inline constexpr ScreenPlace kChannelPlace{3, 1};
inline constexpr ScreenPlace kLastCommandLabelPlace{3, 19};
inline constexpr ScreenPlace kResponseLabelPlace{3, 20};
inline constexpr ScreenPlace kCommandLabelPlace{3, 21};
inline constexpr std::string_view kCommandLabelText = "Command :";
inline constexpr std::string_view kResponseLabelText = "Response:";
inline constexpr ScreenPlace kResponsePlace{12, 20};
inline constexpr ScreenPlace kCommandPlace{12, 21};
inline constexpr ScreenPlace kChangeRowPlace{1, 17};
inline constexpr int kFrameColour = 4;
inline constexpr int kStatusColour = 3;
inline constexpr int kWorkFirstRow = 2;  // the work area is the scroll region
inline constexpr int kWorkRows = 17;
inline constexpr std::int32_t kLogFile = 2;  // Qk14's change log takes the watch file's number

class MonitorProgram {
public:
    explicit MonitorProgram(const BoardDescription& board) : board_(board) {}
    virtual ~MonitorProgram() = default;
    MonitorProgram(const MonitorProgram&) = delete;
    MonitorProgram& operator=(const MonitorProgram&) = delete;

    // Start-up, then the main loop for ever; only the runtime ends the
    // program. Esc (where the board restarts) runs start-up again.
    void main_routine();

protected:
    // The board's own parts.
    virtual void draw_own_frame() {}
    virtual void execute_command() = 0;
    virtual void enter_chosen_watch_page() = 0;
    virtual void enter_log_mode() = 0;

    // Shared routines the board's parts use.
    void draw_legend();
    void draw_dump_page();
    void copy_command_row(int last_column);
    void end_command();
    // Clears the work area, lists the watch files, shows `hints` and reads a
    // name at the board's prompt place.
    std::string prompt_file_name(std::span<const PlacedText> hints);
    // The F10/F11 entry took `base`: it names the key and the watch file, and
    // `mode` becomes the current mode.
    void take_watch_file(DisplayMode mode, const std::string& base);
    // Loads the current watch file into the page and draws its entries (not
    // in mode 11, which shows only changes). On failure the file name is
    // forgotten, reply_failed set and the notice says which file and why.
    // Returns whether the page loaded.
    bool load_watch_file();
    // A notice on the response row (a value or file the program could not
    // use), over the whole row; the next command, or a page that loads,
    // clears the whole row again.
    void show_notice(std::string_view text);
    void clear_notice();

    MonitorState state_;
    const BoardDescription& board_;

private:
    struct Restart {};

    void start_up();
    void draw_frame();
    void main_cycle();
    void key_step();
    void mode_step();
    void poll_step();
    void function_key(int key);
    void switch_function_keys_on();
    void clock_tick();
    void read_settings();
    // QK.DEF values that could not be used, in words on the response row
    // and on standard error.
    void show_settings_problems();
    void read_next_dump_row();
    void enter_watch_page(DisplayMode mode);
    void refresh_watch_page();
    void log_step();
};

}  // namespace monitor
