// The QkP877W program: its main routine on the runtime, statement by
// statement, with F1-F11 and the clock as runtime events.
#pragma once

#include <string>

#include "monitor_state.h"

namespace qkp877w {

class QkP877WProgram {
public:
    // Start-up, then the main loop for ever; only the runtime ends the program.
    void main_routine();

private:
    // Frame.
    void start_up();
    void draw_frame();
    void draw_legend();
    void main_cycle();
    void mode_step();
    void poll_step();
    void function_key(int key);
    void switch_function_keys_on();

    // Command entry.
    void key_step();
    void execute_command();
    void end_command();

    // Views.
    void read_settings();
    void draw_dump_page();
    void read_next_dump_row();
    bool load_watch_file();
    void refresh_watch_page();
    void enter_watch_page(int key);
    void enter_chosen_watch_page();
    void enter_change_list();
    void change_list_step();
    std::string prompt_file_base(int key);
    void entry_failure();

    MonitorState s_;
};

}  // namespace qkp877w
