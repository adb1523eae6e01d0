// The context help on screen: the help text panel (graph2), the visualisation
// panel (graph3) with its animation, the help of the measurement numerics and of
// the main display's background, the HELP button and its tooltips.
//
// A right click anywhere reaches help_show through the help hook of the user
// interface (ui/help_hook.h), keyed by the panel's and the control's names; the
// texts and the visualisation come from the help table (help/help_table.h).
// graph1, graph2 and graph3 share one place: showing help hides the main display,
// closing it shows the main display again.
#pragma once

#include "help/help_screen.h"

// Installs the help: registers the callbacks below by name (call before the panels
// are loaded) and puts help_show behind the help hook. The help shown again by a
// numeric without help of its own starts as the main display's.
void help_install();

// The help of a click on (panel name, control name; "" or null for the
// background): builds it in active_helpscr, shows it with init_helpscr and displays
// the help text panel with the focus on its CLOSE button. A click whose panel says
// it shows no help is swallowed. Returns 1 when the click was answered, 0 for a
// panel the help table does not know.
int help_show(const char* panel, const char* control);

// Shows a help-screen record: both texts, both charts cleared and set up from
// their blocks, the value indicators of the upper traces, the animation timer
// enabled, restarted and resumed. Returns 0, or -1 for a null record.
int init_helpscr(const help_screen* scr);

// Hides the three display panels and shows the main display; `stop_animation`
// disables the animation timer as well.
void help_close(int stop_animation);

// The tooltips of the help table on every control it names (init), or removed
// again (quit). Return the rows set, or the first negative code of a row that failed.
int init_tooltips();
int quit_tooltips();

int CC_CMDB_HELP_SWICH(int panel, int control, int event, void* data, int d1, int d2);
int CC_CMDB_HELP_CLOSE(int panel, int control, int event, void* data, int d1, int d2);
int CC_ANI_TIMER(int panel, int control, int event, void* data, int d1, int d2);
int CC_CBTN_RUNSTOP(int panel, int control, int event, void* data, int d1, int d2);
int CC_GRAPH1(int panel, int control, int event, void* data, int d1, int d2);
int CC_GRAPH2(int panel, int control, int event, void* data, int d1, int d2);
int CC_GRAPH3(int panel, int control, int event, void* data, int d1, int d2);
int CC_NUMERICS_HELP(int panel, int control, int event, void* data, int d1, int d2);
int CC_CBTN_HELP(int panel, int control, int event, void* data, int d1, int d2);
