// Status registers of the simulated unit and the conditions evaluated over them.
//
// Every scan the unit describes itself in three registers: register 0 holds the
// inputs, the two delay timers and the three outputs, register 1 the four thresholds,
// register 2 the evaluation results against the teach table. Each state has a bit,
// and its event bit is set for the one scan in which that state became true, so
// "IN0 rising edge" (event bit 1) is "IN0 high state" (state bit 1) newly set.
// Register 2 is the exception at bits 8 and 9: their event means "a new result".
#pragma once

#include <cstdint>

struct sim_regs {
    uint16_t state[3];
    uint16_t event[3];
};

// Sets one register's state and derives its events from the previous state.
void sim_regs_set(sim_regs* r, int reg, uint16_t state);

// An event condition (three event masks) holds when any selected event occurred.
bool sim_event_cond(const uint16_t* cond, const sim_regs* r);

// A combined condition: three state masks, three event masks and a combination code
// (0 OR, 1 AND, 2 NOR, 3 NAND) over all selected bits. AND with nothing selected is
// false, so an all-zero condition never holds and its negations always do.
bool sim_combined_cond(const uint16_t* cond, const sim_regs* r);

// True when a combined condition selects any event bit (it then marks instants, not
// spans of time).
bool sim_combined_has_events(const uint16_t* cond);
