// Condition rings of the panels filled through the parameter subsystem's
// fill_conditions, which reaches a ring control through a cond_ring table.
#pragma once

// Empties the ring control and fills it with the items of the list code.
int shell_fill_conditions(int panel, int ctrl, int list_code);
