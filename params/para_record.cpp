// Layout checks, the leaf table and the word conversions of the parameter record.
#include "params/para_record.h"

#include <cstring>
#include <type_traits>
#include <utility>

para_set paras = {};

// The layout is the unit's: any drift here breaks every parameter frame and file.
static_assert(sizeof(event_cond) == 6);
static_assert(sizeof(combined_cond) == 14);
static_assert(offsetof(combined_cond, evnt) == 6 && offsetof(combined_cond, comb) == 12);
static_assert(sizeof(teach_entry) == 12);
static_assert(offsetof(teach_entry, tol_low) == 4 && offsetof(teach_entry, tol_high) == 8);
static_assert(sizeof(iir_stage) == 10 && offsetof(iir_stage, a2) == 0 && offsetof(iir_stage, a1) == 2);
static_assert(sizeof(iir_block) == 36);
static_assert(offsetof(iir_block, stage) == 2 && offsetof(iir_block, shift) == 32);
static_assert(offsetof(iir_block, use_filtered) == 34);
static_assert(sizeof(anaout_scaling) == 8 && offsetof(anaout_scaling, offset) == 4);
static_assert(sizeof(out_holdtime) == 4 && offsetof(out_holdtime, on) == 2);
static_assert(sizeof(para_record) == PARA_BYTES && PARA_BYTES == 2 * PARA_WORDS);
static_assert(std::is_trivially_copyable_v<para_record> && std::is_standard_layout_v<para_record>);

#define PARA_AT(field, off) static_assert(offsetof(para_record, field) == (off), #field)
PARA_AT(powerA, 0);
PARA_AT(powerB, 2);
PARA_AT(timerA, 4);
PARA_AT(timerB, 6);
PARA_AT(normA, 8);
PARA_AT(trigger1A, 10);
PARA_AT(trigger1_hystA, 12);
PARA_AT(trigger2A, 14);
PARA_AT(trigger2_hystA, 16);
PARA_AT(eval_beginA, 18);
PARA_AT(counter_condA, 24);
PARA_AT(timer_condA, 30);
PARA_AT(osci_condA, 36);
PARA_AT(eval_condA, 42);
PARA_AT(eval_modeA, 56);
PARA_AT(averagingA, 58);
PARA_AT(osci_skipA, 60);
PARA_AT(osci_pretrigA, 62);
PARA_AT(reserved1, 64);
PARA_AT(linearisationA, 66);
PARA_AT(eval_selectA, 68);
PARA_AT(eval_switchA, 70);
PARA_AT(teachA, 72);
PARA_AT(iirA, 120);
PARA_AT(normB, 156);
PARA_AT(trigger1B, 158);
PARA_AT(trigger1_hystB, 160);
PARA_AT(trigger2B, 162);
PARA_AT(trigger2_hystB, 164);
PARA_AT(eval_beginB, 166);
PARA_AT(counter_condB, 172);
PARA_AT(timer_condB, 178);
PARA_AT(osci_condB, 184);
PARA_AT(eval_condB, 190);
PARA_AT(eval_modeB, 204);
PARA_AT(averagingB, 206);
PARA_AT(osci_skipB, 208);
PARA_AT(osci_pretrigB, 210);
PARA_AT(reserved2, 212);
PARA_AT(linearisationB, 214);
PARA_AT(eval_selectB, 216);
PARA_AT(eval_switchB, 218);
PARA_AT(teachB, 220);
PARA_AT(iirB, 268);
PARA_AT(scanrate, 304);
PARA_AT(input_sourceB, 306);
PARA_AT(norm_timebase, 308);
PARA_AT(dirt_output, 310);
PARA_AT(dirt_levelA, 312);
PARA_AT(dirt_timeoutA, 314);
PARA_AT(dirt_levelB, 316);
PARA_AT(dirt_timeoutB, 318);
PARA_AT(ext_teachA, 320);
PARA_AT(ext_teachB, 322);
PARA_AT(out_cond, 324);
PARA_AT(norm_cond, 366);
PARA_AT(out_hold, 380);
PARA_AT(anaout_source, 392);
PARA_AT(anaout_switch, 394);
PARA_AT(anaout_scale, 396);
PARA_AT(prev_samplesA, 428);
PARA_AT(prev_samplesB, 430);
PARA_AT(autosend_cond, 432);
PARA_AT(counter_effectA, 438);
PARA_AT(counter_effectB, 440);
PARA_AT(derivationA, 442);
PARA_AT(derivationB, 444);
PARA_AT(poti_usage, 446);
PARA_AT(reserved3, 448);
PARA_AT(timer_modeA, 450);
PARA_AT(timer_modeB, 452);
PARA_AT(reserved4, 454);
#undef PARA_AT

#define PARA_LEAF_TYPE(path) std::remove_reference_t<decltype(std::declval<para_record&>().path)>
#define PARA_LEAF(path)                                                                                      \
    para_field {                                                                                             \
#path, offsetof(para_record, path), sizeof(PARA_LEAF_TYPE(path)),                                    \
            std::is_signed_v < PARA_LEAF_TYPE(path)>                                                         \
    }

extern constexpr para_field para_fields[] = {
    PARA_LEAF(powerA),
    PARA_LEAF(powerB),
    PARA_LEAF(timerA),
    PARA_LEAF(timerB),
    PARA_LEAF(normA),
    PARA_LEAF(trigger1A),
    PARA_LEAF(trigger1_hystA),
    PARA_LEAF(trigger2A),
    PARA_LEAF(trigger2_hystA),
    PARA_LEAF(eval_beginA.evnt[0]),
    PARA_LEAF(eval_beginA.evnt[1]),
    PARA_LEAF(eval_beginA.evnt[2]),
    PARA_LEAF(counter_condA.evnt[0]),
    PARA_LEAF(counter_condA.evnt[1]),
    PARA_LEAF(counter_condA.evnt[2]),
    PARA_LEAF(timer_condA.evnt[0]),
    PARA_LEAF(timer_condA.evnt[1]),
    PARA_LEAF(timer_condA.evnt[2]),
    PARA_LEAF(osci_condA.evnt[0]),
    PARA_LEAF(osci_condA.evnt[1]),
    PARA_LEAF(osci_condA.evnt[2]),
    PARA_LEAF(eval_condA.stat[0]),
    PARA_LEAF(eval_condA.stat[1]),
    PARA_LEAF(eval_condA.stat[2]),
    PARA_LEAF(eval_condA.evnt[0]),
    PARA_LEAF(eval_condA.evnt[1]),
    PARA_LEAF(eval_condA.evnt[2]),
    PARA_LEAF(eval_condA.comb),
    PARA_LEAF(eval_modeA),
    PARA_LEAF(averagingA),
    PARA_LEAF(osci_skipA),
    PARA_LEAF(osci_pretrigA),
    PARA_LEAF(reserved1),
    PARA_LEAF(linearisationA),
    PARA_LEAF(eval_selectA),
    PARA_LEAF(eval_switchA),
    PARA_LEAF(teachA[0].reference),
    PARA_LEAF(teachA[0].tol_low),
    PARA_LEAF(teachA[0].tol_high),
    PARA_LEAF(teachA[1].reference),
    PARA_LEAF(teachA[1].tol_low),
    PARA_LEAF(teachA[1].tol_high),
    PARA_LEAF(teachA[2].reference),
    PARA_LEAF(teachA[2].tol_low),
    PARA_LEAF(teachA[2].tol_high),
    PARA_LEAF(teachA[3].reference),
    PARA_LEAF(teachA[3].tol_low),
    PARA_LEAF(teachA[3].tol_high),
    PARA_LEAF(iirA.gain),
    PARA_LEAF(iirA.stage[0].a2),
    PARA_LEAF(iirA.stage[0].a1),
    PARA_LEAF(iirA.stage[0].b0),
    PARA_LEAF(iirA.stage[0].b1),
    PARA_LEAF(iirA.stage[0].b2),
    PARA_LEAF(iirA.stage[1].a2),
    PARA_LEAF(iirA.stage[1].a1),
    PARA_LEAF(iirA.stage[1].b0),
    PARA_LEAF(iirA.stage[1].b1),
    PARA_LEAF(iirA.stage[1].b2),
    PARA_LEAF(iirA.stage[2].a2),
    PARA_LEAF(iirA.stage[2].a1),
    PARA_LEAF(iirA.stage[2].b0),
    PARA_LEAF(iirA.stage[2].b1),
    PARA_LEAF(iirA.stage[2].b2),
    PARA_LEAF(iirA.shift),
    PARA_LEAF(iirA.use_filtered),
    PARA_LEAF(normB),
    PARA_LEAF(trigger1B),
    PARA_LEAF(trigger1_hystB),
    PARA_LEAF(trigger2B),
    PARA_LEAF(trigger2_hystB),
    PARA_LEAF(eval_beginB.evnt[0]),
    PARA_LEAF(eval_beginB.evnt[1]),
    PARA_LEAF(eval_beginB.evnt[2]),
    PARA_LEAF(counter_condB.evnt[0]),
    PARA_LEAF(counter_condB.evnt[1]),
    PARA_LEAF(counter_condB.evnt[2]),
    PARA_LEAF(timer_condB.evnt[0]),
    PARA_LEAF(timer_condB.evnt[1]),
    PARA_LEAF(timer_condB.evnt[2]),
    PARA_LEAF(osci_condB.evnt[0]),
    PARA_LEAF(osci_condB.evnt[1]),
    PARA_LEAF(osci_condB.evnt[2]),
    PARA_LEAF(eval_condB.stat[0]),
    PARA_LEAF(eval_condB.stat[1]),
    PARA_LEAF(eval_condB.stat[2]),
    PARA_LEAF(eval_condB.evnt[0]),
    PARA_LEAF(eval_condB.evnt[1]),
    PARA_LEAF(eval_condB.evnt[2]),
    PARA_LEAF(eval_condB.comb),
    PARA_LEAF(eval_modeB),
    PARA_LEAF(averagingB),
    PARA_LEAF(osci_skipB),
    PARA_LEAF(osci_pretrigB),
    PARA_LEAF(reserved2),
    PARA_LEAF(linearisationB),
    PARA_LEAF(eval_selectB),
    PARA_LEAF(eval_switchB),
    PARA_LEAF(teachB[0].reference),
    PARA_LEAF(teachB[0].tol_low),
    PARA_LEAF(teachB[0].tol_high),
    PARA_LEAF(teachB[1].reference),
    PARA_LEAF(teachB[1].tol_low),
    PARA_LEAF(teachB[1].tol_high),
    PARA_LEAF(teachB[2].reference),
    PARA_LEAF(teachB[2].tol_low),
    PARA_LEAF(teachB[2].tol_high),
    PARA_LEAF(teachB[3].reference),
    PARA_LEAF(teachB[3].tol_low),
    PARA_LEAF(teachB[3].tol_high),
    PARA_LEAF(iirB.gain),
    PARA_LEAF(iirB.stage[0].a2),
    PARA_LEAF(iirB.stage[0].a1),
    PARA_LEAF(iirB.stage[0].b0),
    PARA_LEAF(iirB.stage[0].b1),
    PARA_LEAF(iirB.stage[0].b2),
    PARA_LEAF(iirB.stage[1].a2),
    PARA_LEAF(iirB.stage[1].a1),
    PARA_LEAF(iirB.stage[1].b0),
    PARA_LEAF(iirB.stage[1].b1),
    PARA_LEAF(iirB.stage[1].b2),
    PARA_LEAF(iirB.stage[2].a2),
    PARA_LEAF(iirB.stage[2].a1),
    PARA_LEAF(iirB.stage[2].b0),
    PARA_LEAF(iirB.stage[2].b1),
    PARA_LEAF(iirB.stage[2].b2),
    PARA_LEAF(iirB.shift),
    PARA_LEAF(iirB.use_filtered),
    PARA_LEAF(scanrate),
    PARA_LEAF(input_sourceB),
    PARA_LEAF(norm_timebase),
    PARA_LEAF(dirt_output),
    PARA_LEAF(dirt_levelA),
    PARA_LEAF(dirt_timeoutA),
    PARA_LEAF(dirt_levelB),
    PARA_LEAF(dirt_timeoutB),
    PARA_LEAF(ext_teachA),
    PARA_LEAF(ext_teachB),
    PARA_LEAF(out_cond[0].stat[0]),
    PARA_LEAF(out_cond[0].stat[1]),
    PARA_LEAF(out_cond[0].stat[2]),
    PARA_LEAF(out_cond[0].evnt[0]),
    PARA_LEAF(out_cond[0].evnt[1]),
    PARA_LEAF(out_cond[0].evnt[2]),
    PARA_LEAF(out_cond[0].comb),
    PARA_LEAF(out_cond[1].stat[0]),
    PARA_LEAF(out_cond[1].stat[1]),
    PARA_LEAF(out_cond[1].stat[2]),
    PARA_LEAF(out_cond[1].evnt[0]),
    PARA_LEAF(out_cond[1].evnt[1]),
    PARA_LEAF(out_cond[1].evnt[2]),
    PARA_LEAF(out_cond[1].comb),
    PARA_LEAF(out_cond[2].stat[0]),
    PARA_LEAF(out_cond[2].stat[1]),
    PARA_LEAF(out_cond[2].stat[2]),
    PARA_LEAF(out_cond[2].evnt[0]),
    PARA_LEAF(out_cond[2].evnt[1]),
    PARA_LEAF(out_cond[2].evnt[2]),
    PARA_LEAF(out_cond[2].comb),
    PARA_LEAF(norm_cond.stat[0]),
    PARA_LEAF(norm_cond.stat[1]),
    PARA_LEAF(norm_cond.stat[2]),
    PARA_LEAF(norm_cond.evnt[0]),
    PARA_LEAF(norm_cond.evnt[1]),
    PARA_LEAF(norm_cond.evnt[2]),
    PARA_LEAF(norm_cond.comb),
    PARA_LEAF(out_hold[0].off),
    PARA_LEAF(out_hold[0].on),
    PARA_LEAF(out_hold[1].off),
    PARA_LEAF(out_hold[1].on),
    PARA_LEAF(out_hold[2].off),
    PARA_LEAF(out_hold[2].on),
    PARA_LEAF(anaout_source),
    PARA_LEAF(anaout_switch),
    PARA_LEAF(anaout_scale[0].gain),
    PARA_LEAF(anaout_scale[0].shift),
    PARA_LEAF(anaout_scale[0].offset),
    PARA_LEAF(anaout_scale[1].gain),
    PARA_LEAF(anaout_scale[1].shift),
    PARA_LEAF(anaout_scale[1].offset),
    PARA_LEAF(anaout_scale[2].gain),
    PARA_LEAF(anaout_scale[2].shift),
    PARA_LEAF(anaout_scale[2].offset),
    PARA_LEAF(anaout_scale[3].gain),
    PARA_LEAF(anaout_scale[3].shift),
    PARA_LEAF(anaout_scale[3].offset),
    PARA_LEAF(prev_samplesA),
    PARA_LEAF(prev_samplesB),
    PARA_LEAF(autosend_cond.evnt[0]),
    PARA_LEAF(autosend_cond.evnt[1]),
    PARA_LEAF(autosend_cond.evnt[2]),
    PARA_LEAF(counter_effectA),
    PARA_LEAF(counter_effectB),
    PARA_LEAF(derivationA),
    PARA_LEAF(derivationB),
    PARA_LEAF(poti_usage),
    PARA_LEAF(reserved3),
    PARA_LEAF(timer_modeA),
    PARA_LEAF(timer_modeB),
    PARA_LEAF(reserved4),
};
#undef PARA_LEAF
#undef PARA_LEAF_TYPE

extern constexpr int para_field_count = sizeof(para_fields) / sizeof(para_fields[0]);

// Every byte of the record belongs to exactly one leaf, in storage order, so
// loops over the table see the whole wire image.
static constexpr bool leaves_tile_record() {
    int next = 0;
    for (const para_field& f : para_fields) {
        if (f.offset != next || (f.size != 2 && f.size != 4) || f.offset % f.size != 0) return false;
        next += f.size;
    }
    return next == PARA_BYTES;
}
static_assert(leaves_tile_record());
static_assert(para_field_count == 200);

int32_t para_field_get(const para_record* rec, int index) {
    const para_field& f = para_fields[index];
    const auto* base = reinterpret_cast<const unsigned char*>(rec) + f.offset;
    if (f.size == 4) {
        int32_t v;
        std::memcpy(&v, base, 4);
        return v;
    }
    if (f.is_signed) {
        int16_t v;
        std::memcpy(&v, base, 2);
        return v;
    }
    uint16_t v;
    std::memcpy(&v, base, 2);
    return v;
}

void para_field_set(para_record* rec, int index, int32_t value) {
    const para_field& f = para_fields[index];
    auto* base = reinterpret_cast<unsigned char*>(rec) + f.offset;
    if (f.size == 4) {
        std::memcpy(base, &value, 4);
    } else {
        // Conversion to a 16-bit unsigned type keeps the low 16 bits (modulo 2^16),
        // and the same bit pattern serves signed and unsigned leaves.
        const auto v = static_cast<uint16_t>(value);
        std::memcpy(base, &v, 2);
    }
}

void para_to_words(const para_record* rec, uint16_t words[PARA_WORDS]) {
    for (int i = 0; i < para_field_count; i++) {
        const auto v = static_cast<uint32_t>(para_field_get(rec, i));
        const int w = para_fields[i].offset / 2;
        words[w] = static_cast<uint16_t>(v);
        if (para_fields[i].size == 4) words[w + 1] = static_cast<uint16_t>(v >> 16);
    }
}

void para_from_words(para_record* rec, const uint16_t words[PARA_WORDS]) {
    for (int i = 0; i < para_field_count; i++) {
        const int w = para_fields[i].offset / 2;
        uint32_t v = words[w];
        if (para_fields[i].size == 4) v |= static_cast<uint32_t>(words[w + 1]) << 16;
        para_field_set(rec, i, static_cast<int32_t>(v));
    }
}

void para_to_bytes(const para_record* rec, uint8_t bytes[PARA_BYTES]) {
    uint16_t words[PARA_WORDS];
    para_to_words(rec, words);
    for (int w = 0; w < PARA_WORDS; w++) {
        bytes[2 * w] = static_cast<uint8_t>(words[w]);
        bytes[2 * w + 1] = static_cast<uint8_t>(words[w] >> 8);
    }
}

void para_from_bytes(para_record* rec, const uint8_t bytes[PARA_BYTES]) {
    uint16_t words[PARA_WORDS];
    for (int w = 0; w < PARA_WORDS; w++)
        words[w] = static_cast<uint16_t>(bytes[2 * w] | (bytes[2 * w + 1] << 8));
    para_from_words(rec, words);
}

static bool is_reserved(const para_field& f) {
    return std::strncmp(f.name, "reserved", 8) == 0;
}

int para_check_limits(const para_record* rec, const para_record* min, const para_record* max, int* out,
                      int max_out) {
    int count = 0;
    for (int i = 0; i < para_field_count; i++) {
        if (is_reserved(para_fields[i])) continue;
        // Leaves are sign- or zero-extended by para_field_get, so one signed
        // comparison serves both kinds.
        const int32_t v = para_field_get(rec, i);
        if (v >= para_field_get(min, i) && v <= para_field_get(max, i)) continue;
        if (out && count < max_out) out[count] = i;
        count++;
    }
    return count;
}
