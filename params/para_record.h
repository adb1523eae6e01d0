// The unit's parameter set: one fixed record of 228 16-bit words (456 bytes).
//
// The record's byte image, read as little-endian words, is the payload of the
// parameter frames, so the field offsets are part of the wire format and are
// checked at compile time in para_record.cpp. In memory the fields are host-order
// integers; para_to_words / para_from_words and the byte variants do the
// conversion field by field, so they are right on any host.
//
// Natural alignment already leaves no gap anywhere (every 32-bit field sits on a
// multiple of 4), so the record needs no packing attribute; that keeps pointers
// to its fields ordinary, well-aligned pointers for the panels and the
// condition routines.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>

constexpr int PARA_WORDS = 228;
constexpr int PARA_BYTES = 456;
constexpr int PARA_PATH_LEN = PATH_MAX; // a path with its closing zero, as the system allows

// Masks over the three status registers: register 0 (inputs, timers, outputs),
// register 1 (thresholds), register 2 (evaluation results). Bit names in conditions.h.
struct event_cond {
    uint16_t evnt[3]; // event masks of registers 0, 1, 2
};

struct combined_cond {
    uint16_t stat[3]; // state masks of registers 0, 1, 2
    uint16_t evnt[3]; // event masks of registers 0, 1, 2
    uint16_t comb;    // how state and event bits combine: 0 OR, 1 AND, 2 NOR, 3 NAND
};

// Teach-table row; all three in 16.16 fixed point (value * 65536).
struct teach_entry {
    int32_t reference;
    int32_t tol_low;
    int32_t tol_high;
};

// One biquad stage. The unit expects a2 before a1.
struct iir_stage {
    int16_t a2;
    int16_t a1;
    int16_t b0;
    int16_t b1;
    int16_t b2;
};

struct iir_block {
    int16_t gain; // initial gain
    iir_stage stage[3];
    int16_t shift;        // final shift value
    int16_t use_filtered; // flag: use the filtered value instead of the value
};

struct anaout_scaling {
    int16_t gain;
    int16_t shift;
    int32_t offset;
};

struct out_holdtime {
    int16_t off; // minimum OFF hold time
    int16_t on;  // minimum ON hold time
};

// Field meanings are the unit's; flags hold 0 (off) or non-zero (on).
struct para_record {
    int16_t powerA;
    int16_t powerB;
    int16_t timerA; // 0 = timer deactivated
    int16_t timerB;
    int16_t normA; // flag
    int16_t trigger1A;
    int16_t trigger1_hystA;
    int16_t trigger2A;
    int16_t trigger2_hystA;
    event_cond eval_beginA;
    event_cond counter_condA;
    event_cond timer_condA;
    event_cond osci_condA;
    combined_cond eval_condA;
    int16_t eval_modeA; // index into eval_modes_options
    int16_t averagingA;
    int16_t osci_skipA;
    int16_t osci_pretrigA;
    int16_t reserved1;      // carried unchanged
    int16_t linearisationA; // flag
    int16_t eval_selectA;
    int16_t eval_switchA;
    teach_entry teachA[4];
    iir_block iirA;
    int16_t normB; // flag
    int16_t trigger1B;
    int16_t trigger1_hystB;
    int16_t trigger2B;
    int16_t trigger2_hystB;
    event_cond eval_beginB;
    event_cond counter_condB;
    event_cond timer_condB;
    event_cond osci_condB;
    combined_cond eval_condB;
    int16_t eval_modeB;
    int16_t averagingB;
    int16_t osci_skipB;
    int16_t osci_pretrigB;
    int16_t reserved2;      // carried unchanged
    int16_t linearisationB; // flag
    int16_t eval_selectB;
    int16_t eval_switchB;
    teach_entry teachB[4];
    iir_block iirB;
    int16_t scanrate;      // scan period; 0 = maximum scan rate
    int16_t input_sourceB; // 1, 0, or -1 = channel B off
    int16_t norm_timebase; // seconds
    int16_t dirt_output;   // flag
    int16_t dirt_levelA;
    int16_t dirt_timeoutA;
    int16_t dirt_levelB;
    int16_t dirt_timeoutB;
    int16_t ext_teachA;
    int16_t ext_teachB;
    combined_cond out_cond[3];
    combined_cond norm_cond;
    out_holdtime out_hold[3];
    int16_t anaout_source;
    int16_t anaout_switch;
    anaout_scaling anaout_scale[4];
    int16_t prev_samplesA;
    int16_t prev_samplesB;
    event_cond autosend_cond;
    int16_t counter_effectA;
    int16_t counter_effectB;
    int16_t derivationA; // flag
    int16_t derivationB; // flag
    int16_t poti_usage;
    int16_t reserved3;   // carried unchanged
    int16_t timer_modeA; // flag: run the timer without retriggering
    int16_t timer_modeB; // flag
    int16_t reserved4;   // carried unchanged
};

// One integer of the record (a 16-bit or 32-bit leaf of a field or sub-record).
struct para_field {
    const char* name; // as written in C, e.g. "teachA[2].tol_high"
    uint16_t offset;  // byte offset in the record
    uint8_t size;     // 2 or 4
    uint8_t is_signed;
};

// The 200 leaves in storage order; together they cover the 456 bytes exactly.
extern const para_field para_fields[];
extern const int para_field_count;

// The program's parameter set: the working set the panels show, the receive
// buffer of transfers and files, and the unit's limits.
struct para_set {
    para_record para_pc;  // working set (all zero at start)
    para_record para_rd;  // what a READ, a file or the connection procedure brought
    para_record para_min; // the unit's lower and upper limits
    para_record para_max;
    // Null until the limits have been read from the unit, then &para_min / &para_max.
    para_record* pt_para_min;
    para_record* pt_para_max;
    // The parameter file last chosen in a file dialog.
    char para_pathname[PARA_PATH_LEN];
};
extern para_set paras;

// Leaf `index` of para_fields, sign- or zero-extended.
int32_t para_field_get(const para_record* rec, int index);
// Stores `value` into leaf `index`, cut to the leaf's width.
void para_field_set(para_record* rec, int index, int32_t value);

// Word images as the frames carry them: word n is bytes 2n (low) and 2n+1 (high)
// of the little-endian image; a 32-bit field is two words, low half first.
void para_to_words(const para_record* rec, uint16_t words[PARA_WORDS]);
void para_from_words(para_record* rec, const uint16_t words[PARA_WORDS]);
void para_to_bytes(const para_record* rec, uint8_t bytes[PARA_BYTES]);
void para_from_bytes(para_record* rec, const uint8_t bytes[PARA_BYTES]);

// Counts the leaves of `rec` outside [min, max] (signed or unsigned as the leaf
// is) and stores up to `max_out` of their indexes into para_fields in `out`
// (may be null). Reserved words are not checked. Returns the count.
int para_check_limits(const para_record* rec, const para_record* min, const para_record* max, int* out,
                      int max_out);
