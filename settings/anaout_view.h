// The analog output on the general settings panel: the scale list, the
// transfer view (graph of row 0, its two end points as four numerics, the
// marker lines of the presets), and the callbacks of the source ring, the
// scale list, the numerics, the graph and the SHOW/CLOSE buttons. The numbers
// all come from settings/anaout_math.h; this file only shows them. The
// parameter panels reach fill_zoom_list and set_anaout_transfer through
// params_hooks, the shell's panel selection through its own hook.
#pragma once

#include "params/para_record.h"

// Refills the scale list: every preset when `full` is non-zero, else "NO SCALE"
// only; selects the first entry.
void fill_zoom_list(int full);

// Computes row `row` of `rec` for `mode` with the reference of `channel` (0 A,
// 1 B, 2 the manual entry) and, for display flag 1, opens the transfer view and
// draws the row: the curve, unless the channel is 2 the end points in the four
// numerics, the marker lines of the mode, the x axis over the whole input range
// or, with `zoom`, just around the end points. Display flag -1 computes only;
// any other flag closes the view (the other arguments are then unused). A zoom
// onto an empty tolerance band leaves the row and draws nothing.
void set_anaout_transfer(int display, int mode, int channel, int row, para_record* rec, int zoom);

// 1 while the transfer view is open.
int anaout_view_open();

int CC_RING_ANALOGOUTMODE(int panel, int control, int event, void* data, int d1, int d2);
int CC_MANU_SCALE(int panel, int control, int event, void* data, int d1, int d2);
int CC_GRPH_TRANSFER(int panel, int control, int event, void* data, int d1, int d2);
int CC_CMDB_CLOSE(int panel, int control, int event, void* data, int d1, int d2);
