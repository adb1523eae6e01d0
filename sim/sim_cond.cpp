// Status registers and condition evaluation of the simulated unit (see sim_cond.h).
#include "sim/sim_cond.h"

void sim_regs_set(sim_regs* r, int reg, uint16_t state) {
    r->event[reg] = static_cast<uint16_t>(state & ~r->state[reg]);
    r->state[reg] = state;
}

bool sim_event_cond(const uint16_t* cond, const sim_regs* r) {
    for (int i = 0; i < 3; i++)
        if (cond[i] & r->event[i]) return true;
    return false;
}

bool sim_combined_cond(const uint16_t* cond, const sim_regs* r) {
    bool any = false;
    bool all = true;
    bool selected = false;
    for (int i = 0; i < 3; i++) {
        const uint16_t sm = cond[i];
        const uint16_t em = cond[3 + i];
        if (sm | em) selected = true;
        if ((r->state[i] & sm) || (r->event[i] & em)) any = true;
        if ((r->state[i] & sm) != sm || (r->event[i] & em) != em) all = false;
    }
    const bool and_result = selected && all;
    switch (cond[6]) {
    case 1:
        return and_result;
    case 2:
        return !any;
    case 3:
        return !and_result;
    default:
        return any;
    }
}

bool sim_combined_has_events(const uint16_t* cond) {
    return (cond[3] | cond[4] | cond[5]) != 0;
}
