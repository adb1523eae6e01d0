// Context help of a right click. Every panel answers a right click with help,
// keyed by the panel's name ("tab2", "graph1" ...) and the control's constant
// name ("NUMS_SCANRATE"); a click on the panel's background uses the control "".
// The help subsystem sits above every panel that asks for it, so it installs its
// handler here at start-up; until then (and in tests without it) no help shows.
#pragma once

typedef int (*help_handler)(const char* panel, const char* control);

// Installs the handler (null removes it).
void set_help_handler(help_handler handler);

// Shows the help of (panel name, control name). Returns the handler's result
// (1 when the click was answered), or 0 without a handler.
int show_help(const char* panel, const char* control);

// The same for a panel handle and a control id (0 for the background): the names
// come from the loaded layout.
int show_ctrl_help(int panel, int control);
