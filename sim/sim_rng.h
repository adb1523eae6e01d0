// Small deterministic random generator (SplitMix64) for the simulated unit.
//
// Everything random in the simulator (sensor noise, object heights, injected faults)
// comes from generators seeded by --seed, so a run can be repeated exactly. The
// standard library's distributions are not used because their output differs between
// library versions.
#pragma once

#include <cstdint>

struct sim_rng {
    uint64_t state;
};

inline void sim_rng_seed(sim_rng* r, uint64_t seed) {
    r->state = seed;
}

inline uint64_t sim_rng_next(sim_rng* r) {
    uint64_t z = (r->state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// Uniform in [0, 1).
inline double sim_rng_uniform(sim_rng* r) {
    return static_cast<double>(sim_rng_next(r) >> 11) * 0x1.0p-53;
}

// Uniform integer in [lo, hi].
inline int sim_rng_range(sim_rng* r, int lo, int hi) {
    return lo + static_cast<int>(sim_rng_next(r) % static_cast<uint64_t>(hi - lo + 1));
}

// Roughly normal with standard deviation 1 (sum of four uniforms, scaled).
inline double sim_rng_gauss(sim_rng* r) {
    double s = 0.0;
    for (int i = 0; i < 4; i++) s += sim_rng_uniform(r);
    return (s - 2.0) * 1.7320508075688772;
}
