// Synthetic sensor signals of the simulated unit: objects passing two analog sensors.
//
// Objects pass channel A's sensor and, a little later, channel B's. Each gives a
// pulse with short ramps whose height varies from object to object (now and then an
// object is clearly too small or too large, which the teach table should catch). On
// top: a baseline that drifts slowly, a gain that fades and recovers (dirt on the
// optics), and sample noise. A light barrier in front of sensor A drives input IN0;
// input IN1 is a slow batch signal. Everything is a function of time and the seeded
// generator, so a run repeats exactly.
#pragma once

#include "sim/sim_rng.h"

#include <cstdint>

struct sim_object {
    int64_t start_us; // arrival at sensor A
    int64_t length_us;
    double height_a; // relative height seen by sensor A (1.0 nominal)
    double height_b;
};

struct sim_signal {
    sim_rng rng;
    sim_object obj[2]; // the object passing now (or last) and the next one
    double walk[2];    // random-walk part of each baseline
    int64_t in1_next_us;
    bool in1;
};

struct sim_sample {
    int raw[2]; // 0..4095
    bool in0;
    bool in1;
};

// Raw peak of a nominal object at the default sensor power, before normalisation.
constexpr double SIM_PEAK_A = 2880.0;
constexpr double SIM_PEAK_B = 2640.0;
constexpr int64_t SIM_B_DELAY_US = 15000; // time from sensor A to sensor B

void sim_signal_init(sim_signal* s, uint64_t seed, int64_t now_us);

// Samples both sensors and the inputs at time t (non-decreasing from call to call).
// `power` scales each sensor's amplitude; 0 leaves a channel at its baseline.
void sim_signal_sample(sim_signal* s, int64_t t_us, const int power[2], sim_sample* out);
