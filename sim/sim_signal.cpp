// Synthetic sensor signals (see sim_signal.h).
#include "sim/sim_signal.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr double RAMP_US = 2000.0;
constexpr double NOISE = 8.0;
constexpr int64_t BARRIER_LEAD_US = 3000; // IN0 sees the object before sensor A does
constexpr double DEFAULT_POWER[2] = {800.0, 700.0};

double object_height(sim_rng* r) {
    double h = 1.0 + 0.025 * sim_rng_gauss(r);
    if (sim_rng_uniform(r) < 0.08) h *= sim_rng_uniform(r) < 0.5 ? 0.85 : 1.15;
    return h;
}

sim_object next_object(sim_rng* r, const sim_object& prev) {
    sim_object o;
    o.start_us = prev.start_us + prev.length_us + sim_rng_range(r, 60000, 160000);
    o.length_us = sim_rng_range(r, 20000, 35000);
    o.height_a = object_height(r);
    // Sensor B sees the same object from another angle: correlated, not equal.
    o.height_b = o.height_a * (1.0 + 0.01 * sim_rng_gauss(r));
    return o;
}

// Trapezoid of height 1 over the object's passage, 0 outside.
double shape(const sim_object& o, int64_t t_us) {
    const double rise = static_cast<double>(t_us - o.start_us) / RAMP_US;
    const double fall = static_cast<double>(o.start_us + o.length_us - t_us) / RAMP_US;
    return std::clamp(std::min(rise, fall), 0.0, 1.0);
}

double object_level(const sim_signal* s, int ch, int64_t t_us) {
    double level = 0.0;
    for (const sim_object& o : s->obj) {
        const double h = ch == 0 ? o.height_a : o.height_b;
        level = std::max(level, h * shape(o, t_us));
    }
    return level;
}

} // namespace

void sim_signal_init(sim_signal* s, uint64_t seed, int64_t now_us) {
    sim_rng_seed(&s->rng, seed);
    sim_object first{now_us, 0, 1.0, 1.0};
    s->obj[0] = next_object(&s->rng, first);
    s->obj[1] = next_object(&s->rng, s->obj[0]);
    s->walk[0] = s->walk[1] = 0.0;
    s->in1 = false;
    s->in1_next_us = now_us + 3700000;
}

void sim_signal_sample(sim_signal* s, int64_t t_us, const int power[2], sim_sample* out) {
    // Retire an object once sensor B has seen all of it.
    while (t_us > s->obj[0].start_us + s->obj[0].length_us + SIM_B_DELAY_US) {
        s->obj[0] = s->obj[1];
        s->obj[1] = next_object(&s->rng, s->obj[0]);
    }
    if (t_us >= s->in1_next_us) {
        s->in1 = !s->in1;
        s->in1_next_us = t_us + sim_rng_range(&s->rng, 3000000, 4500000);
    }
    const double secs = static_cast<double>(t_us) * 1e-6;
    const double fade = 1.0 + 0.02 * std::sin(2.0 * PI * secs / 173.0);
    const double peak[2] = {SIM_PEAK_A, SIM_PEAK_B};
    for (int ch = 0; ch < 2; ch++) {
        s->walk[ch] = 0.99995 * s->walk[ch] + 0.05 * sim_rng_gauss(&s->rng);
        const double base = 300.0 + 50.0 * std::sin(2.0 * PI * secs / (ch ? 53.0 : 47.0)) + s->walk[ch];
        const double gain = static_cast<double>(power[ch]) / DEFAULT_POWER[ch];
        const int64_t seen_at = ch == 0 ? t_us : t_us - SIM_B_DELAY_US;
        const double v = base + gain * fade * (peak[ch] - base) * object_level(s, ch, seen_at) +
                         NOISE * sim_rng_gauss(&s->rng);
        out->raw[ch] = std::clamp(static_cast<int>(std::lround(v)), 0, 4095);
    }
    out->in0 = false;
    for (const sim_object& o : s->obj)
        if (t_us >= o.start_us - BARRIER_LEAD_US && t_us < o.start_us + o.length_us - BARRIER_LEAD_US)
            out->in0 = true;
    out->in1 = s->in1;
}
