// The simulated unit's parameter set: defaults, limits and the plausibility check.
//
// The unit owns the limits of every field and reports them with order 104; the PC
// never checks ranges itself. A set written with order 1 is checked field by field:
// fields inside their limits are taken, fields outside keep their previous value,
// and the number of refused fields goes back in the answer's value field.
#pragma once

#include "sim/sim_layout.h"

#include <cstdint>

// Lower and upper limits in the wire layout of the parameter set, as order 104
// reports them, plus which words start a 32-bit field.
struct sim_limits {
    uint16_t min[SIM_PARA_WORDS];
    uint16_t max[SIM_PARA_WORDS];
    bool wide[SIM_PARA_WORDS]; // true at the low word of a 32-bit field
};

void sim_params_limits(sim_limits* lim);

// A set that every field of which lies within the limits and that makes the model
// behave like a unit inspecting passing objects on both channels.
void sim_params_defaults(uint16_t* para);

// Counts the fields of `para` outside the limits (a 32-bit field counts once).
int sim_params_count_errors(const uint16_t* para, const sim_limits* lim);

// Copies into `dst` every field of `src` that lies within the limits; returns the
// number of fields that did not and were left unchanged in `dst`.
int sim_params_take(uint16_t* dst, const uint16_t* src, const sim_limits* lim);
