// The Qk14 program: its main routine on the runtime, statement by statement,
// with the function keys and the clock as runtime events.
#pragma once

#include <optional>
#include <string>

#include "monitor_state.h"

namespace qk14 {

class Qk14Program {
public:
    // The main routine: start-up, then the main loop for ever. Esc restarts
    // from the second start-up step; only the runtime ends the program.
    void main_routine();

private:
    struct Restart {};

    // Frame (start-up, screen, loop, events).
    void start_up();
    void draw_frame();
    void draw_legend();
    void main_cycle();
    void mode_step();
    void poll_step();
    void function_key(int key);
    void clock_tick();
    void switch_function_keys_on();

    // Command entry.
    void key_step();
    void execute_command();
    void error_display();
    void end_command();

    // Target link.
    void reply_reader();

    // Views.
    void read_settings();
    void draw_dump_page();
    void read_next_dump_row();
    bool load_watch_file();
    void refresh_watch_page();
    void enter_watch_page(int key);
    void enter_chosen_watch_page();
    void enter_log_mode();
    void log_step();
    std::string prompt_file_name(int key);

    MonitorState s_;
};

}  // namespace qk14
