// Oscillograph of one channel of the simulated unit: 1024 samples around a trigger.
//
// While armed the channel stores one sample every `skip` scans in a ring. When the
// record condition fires it counts `pretrig` more samples, so the trigger ends up at
// position 1023 - pretrig of the sequence, and freezes: the sequence is ready and the
// status poll reports it until the PC's closing poll re-arms the channel.
//
// The PC reads the ring in blocks of 256 words. It puts them back together in the
// order that interleaves them (blocks of base value 0, 2, 4, 6 hold ring positions
// 4i, 4i+1, 4i+2, 4i+3; base 8 holds 4i and base 10 holds 4i+2 for the coarser
// reads) and then rotates by the start index, the ring position of the oldest
// sample, which each block answer carries in its value field.
#pragma once

#include "sim/sim_layout.h"

#include <cstdint>

enum sim_osci_state { SIM_OSCI_ARMED = 0, SIM_OSCI_TRIGGERED = 1, SIM_OSCI_READY = 2 };

struct sim_osci {
    uint16_t ring[SIM_OSCI_SAMPLES];
    int next;  // ring position written next, which holds the oldest sample once full
    int fill;  // samples stored since arming, up to 1024
    int state; // sim_osci_state
    int after; // samples still to store after the trigger
    int skip_left;
    uint16_t marks;  // marker bits seen in scans that stored no sample
    int trigger_pos; // ring position of the trigger sample, -1 before a trigger
};

void sim_osci_arm(sim_osci* o);

// One scan. `sample` carries the value and input bits, `marks` the evaluation
// markers of this scan, `trigger` whether the record condition fired. A skip count
// of 0 switches recording off; a trigger counts only once the ring holds enough
// samples from before it.
void sim_osci_scan(sim_osci* o, uint16_t sample, uint16_t marks, bool trigger, int skip, int pretrig);

inline bool sim_osci_ready(const sim_osci* o) {
    return o->state == SIM_OSCI_READY;
}

// Fills one 256-word block for the base value (0, 2, 4, 6, 8 or 10) and returns the
// start index. Other base values give the block of base 0.
int sim_osci_block(const sim_osci* o, int base, uint16_t* out);

// The sequence in time order, oldest first (what a correct decoder must produce).
void sim_osci_sequence(const sim_osci* o, uint16_t* out);
