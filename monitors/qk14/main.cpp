// Qk14: the Z80 board's serial monitor.
#include "monitors/monitor_shared/program_entry.h"
#include "qk14_program.h"

int main(int argc, char** argv)
{
    qk14::Qk14Program program;
    return monitor::run_monitor_program(argc, argv,
                                        {monitor::MonitorKind::Qk14, "Qk14", "qk14", "Serial monitor for a Z80 target board."},
                                        [&program] { program.main_routine(); });
}
