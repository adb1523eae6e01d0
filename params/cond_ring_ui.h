// A ring control of the user-interface layer behind the cond_ring table, so the
// condition routines (fill_conditions, cond2string, string2cond,
// enlist_short_with_test) can work on real panels.
#pragma once

#include "params/conditions.h"

// One ring control and its table; `ring.ctx` points back to the record, so the
// record must stay where it is while `ring` is in use.
struct ui_ring {
    int panel;
    int ctrl;
    cond_ring ring;
};

// Binds `r` to (panel, ctrl) and returns &r->ring.
const cond_ring* ui_ring_bind(ui_ring* r, int panel, int ctrl);

// Empties the ring control and fills it with the items of `list_code`.
int ui_fill_conditions(int panel, int ctrl, int list_code);
