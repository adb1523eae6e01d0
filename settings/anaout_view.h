// The analog output's scale list and transfer view on the general settings
// panel, as far as showing a parameter set needs them. The parameter panels
// reach them through params_hooks.
#pragma once

#include "params/para_record.h"

// Refills the scale list: every preset when `full` is non-zero, else "NO SCALE"
// only; selects the first entry.
void fill_zoom_list(int full);
// Display flag 1 computes row `row` of `rec` for `mode` and shows the transfer
// view; -1 computes only; any other flag closes the view.
void set_anaout_transfer(int display, int mode, int channel, int row, para_record* rec, int zoom);
