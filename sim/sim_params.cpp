// Defaults, limits and plausibility check of the simulated unit's parameter set.
#include "sim/sim_params.h"

#include <cstring>

namespace {

// Condition masks may only use the bits each register has: 14 in register 0 (inputs,
// timers, outputs), 8 in register 1 (thresholds), 10 in register 2 (results).
constexpr int32_t REG0_BITS = 0x3FFF;
constexpr int32_t REG1_BITS = 0x00FF;
constexpr int32_t REG2_BITS = 0x03FF;
constexpr int32_t S16_MIN = -32768;
constexpr int32_t S16_MAX = 32767;
constexpr int32_t FIX_4095 = 4095 * 65536; // 4095.0 in 16.16

// One row: `count` fields of `words` words each (1 or 2) from `offset` past the
// channel field `field`, or past word 0 when `field` is null, with their limits.
struct limit_row {
    int sim_chan_layout::*field;
    int offset;
    int count;
    int words;
    int32_t lo;
    int32_t hi;
};

constexpr limit_row chan_rows[] = {
    {&sim_chan_layout::power, 0, 1, 1, 0, 1023},
    {&sim_chan_layout::timer, 0, 1, 1, 0, 10000},
    {&sim_chan_layout::norm, 0, 1, 1, -1, 1},
    {&sim_chan_layout::trigger1, 0, 1, 1, 0, 4095},
    {&sim_chan_layout::hyst1, 0, 1, 1, 0, 1000},
    {&sim_chan_layout::trigger2, 0, 1, 1, 0, 4095},
    {&sim_chan_layout::hyst2, 0, 1, 1, 0, 1000},
    {&sim_chan_layout::eval_begin, 0, 1, 1, 0, REG0_BITS},
    {&sim_chan_layout::eval_begin, 1, 1, 1, 0, REG1_BITS},
    {&sim_chan_layout::eval_begin, 2, 1, 1, 0, REG2_BITS},
    {&sim_chan_layout::counter_cond, 0, 1, 1, 0, REG0_BITS},
    {&sim_chan_layout::counter_cond, 1, 1, 1, 0, REG1_BITS},
    {&sim_chan_layout::counter_cond, 2, 1, 1, 0, REG2_BITS},
    {&sim_chan_layout::timer_cond, 0, 1, 1, 0, REG0_BITS},
    {&sim_chan_layout::timer_cond, 1, 1, 1, 0, REG1_BITS},
    {&sim_chan_layout::timer_cond, 2, 1, 1, 0, REG2_BITS},
    {&sim_chan_layout::osci_cond, 0, 1, 1, 0, REG0_BITS},
    {&sim_chan_layout::osci_cond, 1, 1, 1, 0, REG1_BITS},
    {&sim_chan_layout::osci_cond, 2, 1, 1, 0, REG2_BITS},
    {&sim_chan_layout::eval_cond, 0, 1, 1, 0, REG0_BITS},
    {&sim_chan_layout::eval_cond, 1, 1, 1, 0, REG1_BITS},
    {&sim_chan_layout::eval_cond, 2, 1, 1, 0, REG2_BITS},
    {&sim_chan_layout::eval_cond, 3, 1, 1, 0, REG0_BITS},
    {&sim_chan_layout::eval_cond, 4, 1, 1, 0, REG1_BITS},
    {&sim_chan_layout::eval_cond, 5, 1, 1, 0, REG2_BITS},
    {&sim_chan_layout::eval_cond, 6, 1, 1, 0, 3},
    {&sim_chan_layout::eval_mode, 0, 1, 1, 0, 21},
    {&sim_chan_layout::averaging, 0, 1, 1, 0, 64},
    {&sim_chan_layout::osci_skip, 0, 1, 1, 0, 20},
    {&sim_chan_layout::osci_pretrig, 0, 1, 1, 0, 1023},
    {&sim_chan_layout::linearisation, 0, 1, 1, -1, 1},
    {&sim_chan_layout::eval_select, 0, 1, 1, 0, 3},
    {&sim_chan_layout::eval_switch, 0, 1, 1, 0, 3},
    {&sim_chan_layout::teach, 0, 3 * SIM_TEACH_ENTRIES, 2, 0, FIX_4095},
    {&sim_chan_layout::iir, 0, 16, 1, S16_MIN, S16_MAX},
    {&sim_chan_layout::iir, SIM_IIR_SHIFT, 1, 1, 0, 15},
    {&sim_chan_layout::iir, SIM_IIR_USE_FILTERED, 1, 1, -1, 1},
    {&sim_chan_layout::dirt_level, 0, 1, 1, 0, 4095},
    {&sim_chan_layout::dirt_timeout, 0, 1, 1, 0, S16_MAX},
    {&sim_chan_layout::ext_teach, 0, 1, 1, 0, 3},
    {&sim_chan_layout::prev_samples, 0, 1, 1, 0, 1023},
    {&sim_chan_layout::counter_effect, 0, 1, 1, -1, 1},
    {&sim_chan_layout::derivation, 0, 1, 1, -1, 1},
    {&sim_chan_layout::timer_mode, 0, 1, 1, -1, 1},
};

constexpr limit_row unit_rows[] = {
    {nullptr, SW_SCANRATE, 1, 1, 0, 30000},
    {nullptr, SW_INPUT_SOURCE_B, 1, 1, -1, 1},
    {nullptr, SW_NORM_TIMEBASE, 1, 1, 1, 3600},
    {nullptr, SW_DIRT_OUTPUT, 1, 1, -1, 1},
    {nullptr, SW_OUT_HOLD, 6, 1, 0, 10000},
    {nullptr, SW_ANAOUT_SOURCE, 1, 1, 0, 11},
    {nullptr, SW_ANAOUT_SWITCH, 1, 1, 0, 3},
    {nullptr, SW_AUTOSEND_COND, 1, 1, 0, REG0_BITS},
    {nullptr, SW_AUTOSEND_COND + 1, 1, 1, 0, REG1_BITS},
    {nullptr, SW_AUTOSEND_COND + 2, 1, 1, 0, REG2_BITS},
    {nullptr, SW_POTI_USAGE, 1, 1, 0, 3},
    // Reserved words are the unit's own business; any value passes.
    {nullptr, 32, 1, 1, S16_MIN, S16_MAX},
    {nullptr, 106, 1, 1, S16_MIN, S16_MAX},
    {nullptr, 224, 1, 1, S16_MIN, S16_MAX},
    {nullptr, 227, 1, 1, S16_MIN, S16_MAX},
};

void set_limit(sim_limits* lim, int word, int words, int32_t lo, int32_t hi) {
    if (words == 2) {
        sim_put_s32(lim->min, word, lo);
        sim_put_s32(lim->max, word, hi);
        lim->wide[word] = true;
    } else {
        lim->min[word] = static_cast<uint16_t>(lo);
        lim->max[word] = static_cast<uint16_t>(hi);
    }
}

void apply_rows(sim_limits* lim, const limit_row* rows, int nrows, const sim_chan_layout* chan) {
    for (int r = 0; r < nrows; r++) {
        const limit_row& row = rows[r];
        const int base = (row.field && chan ? chan->*row.field : 0) + row.offset;
        for (int i = 0; i < row.count; i++) {
            // The bound keeps a wrong row from writing past the record. It also keeps
            // g++ 12 -O2 from dropping every row: without it the limits all read 0.
            const int word = base + i * row.words;
            if (word >= 0 && word + row.words <= SIM_PARA_WORDS)
                set_limit(lim, word, row.words, row.lo, row.hi);
        }
    }
}

// Combined conditions of the unit as a whole have the same limits as a channel's
// evaluation condition.
void set_combined_limits(sim_limits* lim, int word) {
    const int32_t bits[3] = {REG0_BITS, REG1_BITS, REG2_BITS};
    for (int i = 0; i < 6; i++) set_limit(lim, word + i, 1, 0, bits[i % 3]);
    set_limit(lim, word + 6, 1, 0, 3);
}

int32_t field_value(const uint16_t* para, int word, bool wide) {
    return wide ? sim_s32(para, word) : sim_s16(para, word);
}

bool field_ok(const uint16_t* para, const sim_limits* lim, int word) {
    const bool wide = lim->wide[word];
    const int32_t v = field_value(para, word, wide);
    return v >= field_value(lim->min, word, wide) && v <= field_value(lim->max, word, wide);
}

void put_event(uint16_t* para, int word, uint16_t reg0, uint16_t reg1, uint16_t reg2) {
    para[word] = reg0;
    para[word + 1] = reg1;
    para[word + 2] = reg2;
}

void put_teach(uint16_t* para, int word, int entry, int ref, int low, int high) {
    const int w = word + entry * SIM_TEACH_ENTRY_WORDS;
    sim_put_s32(para, w, ref * 65536);
    sim_put_s32(para, w + 2, low * 65536);
    sim_put_s32(para, w + 4, high * 65536);
}

void put_channel_defaults(uint16_t* para, const sim_chan_layout& c, bool chan_b) {
    // Register 1 bits of this channel's threshold 1: under at bit 0 (B: 4), over at bit 1 (B: 5).
    const uint16_t under = chan_b ? 0x0010 : 0x0001;
    const uint16_t over = chan_b ? 0x0020 : 0x0002;
    para[c.power] = chan_b ? 700 : 800;
    para[c.timer] = 0;
    para[c.norm] = chan_b ? 0 : 1; // B shows its raw level, A the normalised one
    para[c.trigger1] = 2048;
    para[c.hyst1] = 100;
    para[c.trigger2] = 3000;
    para[c.hyst2] = 100;
    // Each object is one evaluation: it begins when the signal rises over threshold 1
    // and ends when it falls under it again.
    put_event(para, c.eval_begin, 0, over, 0);
    put_event(para, c.counter_cond, 0, over, 0);
    put_event(para, c.timer_cond, 0, 0, 0);
    put_event(para, c.osci_cond, 0, over, 0);
    para[c.eval_cond + 4] = under;
    para[c.eval_mode] = chan_b ? 6 : 5; // max{ A } and max{ B }: the height of an object
    para[c.averaging] = 1;
    para[c.osci_skip] = 1;
    para[c.osci_pretrig] = 512;
    para[c.linearisation] = 0;
    para[c.eval_select] = 0;
    para[c.eval_switch] = 0;
    put_teach(para, c.teach, 0, chan_b ? 2640 : 3600, chan_b ? 180 : 250, chan_b ? 180 : 250);
    put_teach(para, c.teach, 1, 3000, 200, 200);
    put_teach(para, c.teach, 2, 2000, 200, 200);
    put_teach(para, c.teach, 3, 1000, 100, 100);
    // A gentle low-pass in the first biquad (y = x/4 + 3y'/4, Q14), the others pass.
    para[c.iir + SIM_IIR_GAIN] = 16384;
    for (int s = 0; s < 3; s++) {
        const int w = c.iir + SIM_IIR_STAGE0 + 5 * s;
        para[w + 2] = 16384;
    }
    para[c.iir + SIM_IIR_STAGE0 + 1] = static_cast<uint16_t>(-12288);
    para[c.iir + SIM_IIR_STAGE0 + 2] = 4096;
    para[c.iir + SIM_IIR_SHIFT] = 0;
    para[c.iir + SIM_IIR_USE_FILTERED] = 0;
    para[c.dirt_level] = 600;
    para[c.dirt_timeout] = 60;
    para[c.ext_teach] = 0;
    para[c.prev_samples] = 0;
    para[c.counter_effect] = 0;
    para[c.derivation] = 0;
    para[c.timer_mode] = 0;
}

} // namespace

void sim_params_limits(sim_limits* lim) {
    std::memset(lim, 0, sizeof *lim);
    const int nchan = static_cast<int>(sizeof chan_rows / sizeof chan_rows[0]);
    apply_rows(lim, chan_rows, nchan, &sim_chan_a);
    apply_rows(lim, chan_rows, nchan, &sim_chan_b);
    apply_rows(lim, unit_rows, static_cast<int>(sizeof unit_rows / sizeof unit_rows[0]), nullptr);
    for (int i = 0; i < 3; i++) set_combined_limits(lim, SW_OUT_COND + i * SIM_COMBINED_COND_WORDS);
    set_combined_limits(lim, SW_NORM_COND);
    for (int row = 0; row < 4; row++) {
        const int w = SW_ANAOUT_SCALE + row * SIM_ANAOUT_ROW_WORDS;
        set_limit(lim, w, 1, S16_MIN, S16_MAX);
        set_limit(lim, w + 1, 1, -15, 15);
        set_limit(lim, w + 2, 2, -(1 << 24), 1 << 24);
    }
}

void sim_params_defaults(uint16_t* para) {
    std::memset(para, 0, SIM_PARA_WORDS * sizeof para[0]);
    put_channel_defaults(para, sim_chan_a, false);
    put_channel_defaults(para, sim_chan_b, true);
    para[SW_SCANRATE] = 0; // run at the maximum rate
    para[SW_INPUT_SOURCE_B] = 1;
    para[SW_NORM_TIMEBASE] = 10;
    para[SW_DIRT_OUTPUT] = 0;
    // OUT0 while A is in tolerance, OUT1 while B is, OUT2 while A is out of tolerance.
    para[SW_OUT_COND + 2] = 0x0006;
    para[SW_OUT_COND + 7 + 2] = 0x0060;
    para[SW_OUT_COND + 14 + 2] = 0x0009;
    for (int i = 0; i < 3; i++) para[SW_OUT_HOLD + 2 * i + 1] = 20; // ms kept on at least
    para[SW_ANAOUT_SOURCE] = 1;                                     // RESULT A
    for (int row = 0; row < 4; row++) {
        const int w = SW_ANAOUT_SCALE + row * SIM_ANAOUT_ROW_WORDS;
        para[w] = 16384; // identity: gain 0.5 shifted left once
        para[w + 1] = 1;
    }
    put_event(para, SW_AUTOSEND_COND, 0, 0x0001, 0); // when an object leaves channel A
}

int sim_params_count_errors(const uint16_t* para, const sim_limits* lim) {
    int errors = 0;
    for (int w = 0; w < SIM_PARA_WORDS; w++) {
        if (!field_ok(para, lim, w)) errors++;
        if (lim->wide[w]) w++;
    }
    return errors;
}

int sim_params_take(uint16_t* dst, const uint16_t* src, const sim_limits* lim) {
    int refused = 0;
    for (int w = 0; w < SIM_PARA_WORDS; w++) {
        const int n = lim->wide[w] ? 2 : 1;
        if (field_ok(src, lim, w)) {
            for (int k = 0; k < n; k++) dst[w + k] = src[w + k];
        } else {
            refused++;
        }
        w += n - 1;
    }
    return refused;
}
