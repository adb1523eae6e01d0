// Fault injection of the simulated unit: seeded, so a failing run can be repeated.
//
// For every frame the unit sends, one draw decides each fault independently with its
// probability. A draw always consumes the same amount of randomness, so with a given
// seed the frames hit by one fault do not depend on which other faults are switched
// on, nor on the sensor model.
#pragma once

#include "sim/sim_rng.h"

#include <cstdint>
#include <vector>

enum sim_fault {
    SIM_FAULT_DROP = 0, // send nothing
    SIM_FAULT_CORRUPT,  // wrong payload CRC (the header stays valid)
    SIM_FAULT_NOISE,    // stray bytes before the frame
    SIM_FAULT_DELAY,    // send after the PC's 2.0 s answer time-out
    SIM_FAULT_SHORT,    // fewer payload words than the order answers with
    SIM_FAULT_REJECT,   // answer with order 0 (answers only)
    SIM_FAULT_CUT,      // close the connection in the middle of the frame
    SIM_FAULTS
};

constexpr int64_t SIM_DELAY_US = 2500000;

struct sim_faults {
    double p[SIM_FAULTS];
    sim_rng rng;
    long count[SIM_FAULTS];
    long noise_bytes; // stray bytes sent before frames
};

struct sim_fault_draw {
    bool hit[SIM_FAULTS];
    uint64_t extra; // picks noise bytes, cut position, corrupted bit
};

extern const char* const sim_fault_names[SIM_FAULTS];

void sim_faults_init(sim_faults* f, const double* p, uint64_t seed);

// Decides the faults of the next frame. Reject applies to answers only.
void sim_faults_draw(sim_faults* f, bool answer, sim_fault_draw* d);

// Corrupts the payload CRC of a frame and rewrites the header CRC to match, so the
// receiver finds the header and then fails the payload check.
void sim_fault_corrupt(std::vector<uint8_t>* frame, uint64_t extra);

// Stray bytes to put before a frame: 1 to 16 bytes, never the start byte 0x55, so the
// noise cannot begin a false header.
void sim_fault_noise(std::vector<uint8_t>* out, uint64_t extra);

// How many bytes of a frame of `size` bytes go out before the connection is closed.
int sim_fault_cut_length(int size, uint64_t extra);
