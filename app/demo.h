// Demo mode (zazed --demo): the program with a simulated unit attached.
#pragma once

// Starts the simulated unit and sets the connect panel to its address and
// port. Returns 0, or -1 with a message on standard error.
int shell_start_demo();

// Stops the simulated unit, if one runs.
void shell_stop_demo();
