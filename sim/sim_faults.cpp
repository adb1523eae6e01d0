// Fault injection (see sim_faults.h).
#include "sim/sim_faults.h"

#include "link/frame.h"

#include <cstring>

const char* const sim_fault_names[SIM_FAULTS] = {"drop",  "corrupt-crc", "noise", "delay",
                                                 "short", "reject",      "cut"};

void sim_faults_init(sim_faults* f, const double* p, uint64_t seed) {
    std::memset(f, 0, sizeof *f);
    for (int i = 0; i < SIM_FAULTS; i++) f->p[i] = p ? p[i] : 0.0;
    sim_rng_seed(&f->rng, seed ^ 0xFA017ULL);
}

void sim_faults_draw(sim_faults* f, bool answer, sim_fault_draw* d) {
    for (int i = 0; i < SIM_FAULTS; i++) d->hit[i] = sim_rng_uniform(&f->rng) < f->p[i];
    d->extra = sim_rng_next(&f->rng);
    if (!answer) d->hit[SIM_FAULT_REJECT] = false;
    if (d->hit[SIM_FAULT_DROP])
        for (int i = 0; i < SIM_FAULTS; i++) d->hit[i] = i == SIM_FAULT_DROP;
    for (int i = 0; i < SIM_FAULTS; i++)
        if (d->hit[i]) f->count[i]++;
}

void sim_fault_corrupt(std::vector<uint8_t>* frame, uint64_t extra) {
    if (frame->size() < FRAME_HEADER_SIZE) return;
    uint8_t* h = frame->data();
    h[6] = static_cast<uint8_t>(h[6] ^ (1u << (extra % 8)));
    h[7] = crc8_update_stream(CRC8_START, h, 7);
}

void sim_fault_noise(std::vector<uint8_t>* out, uint64_t extra) {
    sim_rng r;
    sim_rng_seed(&r, extra);
    const int n = sim_rng_range(&r, 1, 16);
    for (int i = 0; i < n; i++) {
        uint8_t b = static_cast<uint8_t>(sim_rng_next(&r) & 0xFF);
        if (b == FRAME_START_BYTE) b = 0x54;
        out->push_back(b);
    }
}

int sim_fault_cut_length(int size, uint64_t extra) {
    if (size < 2) return 0;
    return 1 + static_cast<int>(extra % static_cast<uint64_t>(size - 1));
}
