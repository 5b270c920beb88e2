// QkP877W: the PIC16F877 board's serial monitor.
#include "monitors/monitor_shared/program_entry.h"
#include "qkp877w_program.h"

int main(int argc, char** argv)
{
    qkp877w::QkP877WProgram program;
    return monitor::run_monitor_program(argc, argv,
                                        {monitor::MonitorKind::QkP877W, "QkP877W", "qkp877w", "Serial monitor for a PIC16F877 target board."},
                                        [&program] { program.main_routine(); });
}
