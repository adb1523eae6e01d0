// Oscillograph of one channel (see sim_osci.h).
#include "sim/sim_osci.h"

#include <algorithm>
#include <cstring>

void sim_osci_arm(sim_osci* o) {
    std::memset(o, 0, sizeof *o);
    o->state = SIM_OSCI_ARMED;
    o->trigger_pos = -1;
}

void sim_osci_scan(sim_osci* o, uint16_t sample, uint16_t marks, bool trigger, int skip, int pretrig) {
    if (o->state == SIM_OSCI_READY || skip <= 0) return;
    pretrig = std::clamp(pretrig, 0, SIM_OSCI_SAMPLES - 1);
    o->marks |= marks;
    // A trigger between two stored samples belongs to the next one.
    const bool armed_trigger =
        trigger && o->state == SIM_OSCI_ARMED && o->fill >= SIM_OSCI_SAMPLES - 1 - pretrig;
    if (armed_trigger) {
        o->state = SIM_OSCI_TRIGGERED;
        o->after = pretrig + 1; // the trigger sample itself, then pretrig more
        o->skip_left = 0;
    }
    if (o->skip_left > 0) {
        o->skip_left--;
        return;
    }
    o->skip_left = skip - 1;
    if (o->state == SIM_OSCI_TRIGGERED && o->after == pretrig + 1) o->trigger_pos = o->next;
    o->ring[o->next] = static_cast<uint16_t>((sample & ~(SIM_SAMPLE_BEGIN | SIM_SAMPLE_END)) | o->marks);
    o->marks = 0;
    o->next = (o->next + 1) % SIM_OSCI_SAMPLES;
    if (o->fill < SIM_OSCI_SAMPLES) o->fill++;
    if (o->state == SIM_OSCI_TRIGGERED && --o->after == 0) o->state = SIM_OSCI_READY;
}

int sim_osci_block(const sim_osci* o, int base, uint16_t* out) {
    // Ring position of the block's first word: bases 0, 2, 4, 6 take one of each four
    // neighbours, 8 and 10 the first and third of them.
    int offset = 0;
    if (base >= 0 && base <= 6 && base % 2 == 0) offset = base / 2;
    if (base == 10) offset = 2;
    for (int i = 0; i < SIM_BLOCK_WORDS; i++) out[i] = o->ring[4 * i + offset];
    return o->next;
}

void sim_osci_sequence(const sim_osci* o, uint16_t* out) {
    for (int i = 0; i < SIM_OSCI_SAMPLES; i++) out[i] = o->ring[(o->next + i) % SIM_OSCI_SAMPLES];
}
