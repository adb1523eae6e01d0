// The simulated control unit (see sim_unit.h).
#include "sim/sim_unit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

const char SIM_DEFAULT_VERSION[] = "KORMELAN-3 V4.04 {SN 00042 CH A/B}";

namespace {

const sim_chan_layout* const LAYOUT[2] = {&sim_chan_a, &sim_chan_b};

constexpr double NORM_MIN = 0.25;
constexpr double NORM_MAX = 8.0;
constexpr int64_t PEAK_WINDOW_TICKS = 1000000LL * SIM_TICKS_PER_US;
constexpr double BASELINE_S = 1.0;
constexpr int32_t RESULT_LIMIT = 32767 * 65536;

int16_t para(const sim_unit* u, int word) {
    return sim_s16(u->ram, word);
}

const uint16_t* words_at(const sim_unit* u, int word) {
    return u->ram + word;
}

double ticks_to_s(int64_t ticks) {
    return static_cast<double>(ticks) / (SIM_TICKS_PER_US * 1e6);
}

int64_t ms_to_ticks(int ms) {
    return static_cast<int64_t>(ms) * 1000 * SIM_TICKS_PER_US;
}

bool chan_b_off(const sim_unit* u) {
    return para(u, SW_INPUT_SOURCE_B) == -1;
}

void put_text_block(uint16_t* block, int byte_offset, const char* text) {
    uint8_t bytes[2 * SIM_BLOCK_WORDS];
    for (int i = 0; i < SIM_BLOCK_WORDS; i++) {
        bytes[2 * i] = static_cast<uint8_t>(block[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<uint8_t>(block[i] >> 8);
    }
    std::strncpy(reinterpret_cast<char*>(bytes) + byte_offset, text, 255);
    for (int i = 0; i < SIM_BLOCK_WORDS; i++)
        block[i] = static_cast<uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
}

// Factory contents: straight tables and their descriptions, an identification block.
void init_storage(sim_unit* u) {
    std::memset(u->lin, 0, sizeof u->lin);
    put_text_block(u->lin[0], 0, "Standard transfer curve\nCH A, linear, 1024 points\n");
    put_text_block(u->lin[0], 256, "Standard transfer curve\nCH B, linear, 1024 points\n");
    for (int j = 0; j < 1024; j++) {
        const uint16_t v = static_cast<uint16_t>(j * 32767 / 1023);
        u->lin[1 + j / 256][j % 256] = v;
        u->lin[5 + j / 256][j % 256] = v;
    }
    // Erased flash reads as all ones; the used words identify the board.
    for (uint16_t& w : u->hardware) w = 0xFFFF;
    const uint16_t ident[] = {
        0x4B33,                                // board type "K3"
        0x0204,                                // hardware revision 2.4
        0x0404,                                // firmware 4.04
        static_cast<uint16_t>(u->unit_number), // unit number
        42,                                    // serial number
        12,                                    // ADC resolution in bits
        2,                                     // analog channels
        SIM_MIN_CYCLE_TICKS,                   // fastest cycle in 1/60 us
        0x0010,
        0x7FC0,
        0x000E,
        0x7FD2, // ADC offset and gain of CH A, CH B
    };
    std::memcpy(u->hardware, ident, sizeof ident);
}

void reset_channel(sim_chan* c) {
    c->counter = 0;
    c->max_raw = 0;
    c->min_val = 4095;
    c->max_val = 0;
}

void clear_acc(sim_acc* a) {
    std::memset(a, 0, sizeof *a);
    a->min[0] = a->min[1] = 4095;
}

void apply_params(sim_unit* u) {
    const int scanrate = para(u, SW_SCANRATE);
    u->cycle_ticks = scanrate <= 0 ? SIM_MIN_CYCLE_TICKS : std::max(scanrate, SIM_MIN_CYCLE_TICKS);
    u->cycle_report = static_cast<int>(u->cycle_ticks);
    for (sim_chan& c : u->ch) {
        sim_osci_arm(&c.osci);
        // The averaging depth may have changed: start the average afresh.
        c.nresults = 0;
        c.result_pos = 0;
    }
}

int linearise(const sim_unit* u, int ch, int v) {
    const int j = std::clamp(v, 0, 4095) >> 2;
    const uint16_t pos = u->lin[1 + 4 * ch + j / 256][j % 256];
    return static_cast<int>(static_cast<int64_t>(pos) * 4095 / 32767);
}

// Three biquads in Q14 behind an initial gain, then a final shift.
int iir_filter(const sim_unit* u, const sim_chan_layout* l, sim_chan* c, int v) {
    const uint16_t* f = words_at(u, l->iir);
    int64_t x = (static_cast<int64_t>(v) * static_cast<int16_t>(f[SIM_IIR_GAIN])) >> 14;
    for (int s = 0; s < 3; s++) {
        const uint16_t* k = f + SIM_IIR_STAGE0 + 5 * s;
        const int64_t a2 = static_cast<int16_t>(k[0]), a1 = static_cast<int16_t>(k[1]);
        const int64_t b0 = static_cast<int16_t>(k[2]), b1 = static_cast<int16_t>(k[3]),
                      b2 = static_cast<int16_t>(k[4]);
        int64_t y = (b0 * x + b1 * c->iir_x[s][0] + b2 * c->iir_x[s][1] - a1 * c->iir_y[s][0] -
                     a2 * c->iir_y[s][1]) >>
                    14;
        // Coefficients come from the user; keep an unstable filter from overflowing.
        y = std::clamp<int64_t>(y, -(1 << 20), 1 << 20);
        c->iir_x[s][1] = c->iir_x[s][0];
        c->iir_x[s][0] = x;
        c->iir_y[s][1] = c->iir_y[s][0];
        c->iir_y[s][0] = y;
        x = y;
    }
    const int shift = std::clamp<int>(static_cast<int16_t>(f[SIM_IIR_SHIFT]), 0, 15);
    return static_cast<int>(std::clamp<int64_t>(x >> shift, -32768, 32767));
}

// Raw sample to value, filtered value, derivation and the slow statistics.
void channel_front(sim_unit* u, int ch, int raw) {
    const sim_chan_layout* l = LAYOUT[ch];
    sim_chan* c = &u->ch[ch];
    const double dt = ticks_to_s(u->cycle_ticks);
    c->raw = raw;
    c->max_raw = std::max(c->max_raw, raw);
    if (u->now_ticks >= c->peak_until) {
        c->peak_before = c->peak_now;
        c->peak_now = 0;
        c->peak_until = u->now_ticks + PEAK_WINDOW_TICKS;
    }
    c->peak_now = std::max(c->peak_now, raw);
    int v = raw;
    if (para(u, l->norm)) v = std::min(4095, static_cast<int>(raw * c->norm_factor));
    if (para(u, l->linearisation)) v = linearise(u, ch, v);
    c->val = v;
    c->min_val = std::min(c->min_val, v);
    c->max_val = std::max(c->max_val, v);
    c->filtered = iir_filter(u, l, c, v);
    c->deriv = v - c->history[c->history_pos];
    c->history[c->history_pos] = v;
    c->history_pos = (c->history_pos + 1) % 8;
    if (v < para(u, l->trigger1)) c->baseline += (raw - c->baseline) * dt / BASELINE_S;
}

// The value a channel contributes to evaluations, as its switches select.
int eval_value(const sim_unit* u, int ch) {
    const sim_chan_layout* l = LAYOUT[ch];
    if (para(u, l->derivation)) return u->ch[ch].deriv;
    if (para(u, l->iir + SIM_IIR_USE_FILTERED)) return u->ch[ch].filtered;
    return u->ch[ch].val;
}

void accumulate(const sim_unit* u, sim_acc* a) {
    for (int d = 0; d < 2; d++) {
        const int v = eval_value(u, d);
        a->sum[d] += v;
        a->min[d] = std::min(a->min[d], v);
        a->max[d] = std::max(a->max[d], v);
        a->last[d] = v;
        a->deriv_max[d] = std::max(a->deriv_max[d], std::abs(u->ch[d].deriv));
    }
    a->n++;
}

double mode_value(const sim_unit* u, int mode, const sim_acc* a) {
    const double n = static_cast<double>(std::max<int64_t>(a->n, 1));
    const double ma = static_cast<double>(a->sum[0]) / n;
    const double mb = static_cast<double>(a->sum[1]) / n;
    switch (mode) {
    case 1:
        return a->last[0];
    case 2:
        return a->last[1];
    case 3:
        return a->min[0];
    case 4:
        return a->min[1];
    case 5:
        return a->max[0];
    case 6:
        return a->max[1];
    case 7:
        return (ma + mb) / 2.0;
    case 8:
        return ma + mb > 0.0 ? 4095.0 * ma / (ma + mb) : 0.0;
    case 9:
        return (mb - ma + 4095.0) / 2.0;
    case 10:
        return 4095.0 - ma;
    case 11:
        return ma;
    case 12:
        return 4095.0 - mb;
    case 13:
        return mb;
    case 14:
        return a->max[0] - a->min[0];
    case 15:
        return a->max[1] - a->min[1];
    case 16:
        return u->ch[0].counter;
    case 17:
        return u->ch[1].counter;
    case 18:
        return a->deriv_max[0];
    case 19:
        return a->deriv_max[1];
    case 20:
        return ma + mb > 0.0 ? 2048.0 + 2047.0 * (ma - mb) / (ma + mb) : 2048.0;
    case 21:
        return std::clamp(u->ch[0].raw - u->ch[1].raw + 2048, 0, 4095);
    default:
        return 0.0;
    }
}

void produce_result(sim_unit* u, int ch) {
    const sim_chan_layout* l = LAYOUT[ch];
    sim_chan* c = &u->ch[ch];
    if (c->acc.n == 0) accumulate(u, &c->acc);
    const double v = mode_value(u, para(u, l->eval_mode), &c->acc) * 65536.0;
    const int32_t r = static_cast<int32_t>(std::clamp<double>(v, -RESULT_LIMIT, RESULT_LIMIT));
    const int depth = std::clamp<int>(para(u, l->averaging), 1, SIM_AVERAGING_MAX);
    c->results[c->result_pos] = r;
    c->result_pos = (c->result_pos + 1) % depth;
    c->nresults = std::min(c->nresults + 1, depth);
    int64_t sum = 0;
    for (int i = 0; i < c->nresults; i++) sum += c->results[i];
    c->result = static_cast<int32_t>(sum / c->nresults);
    c->new_result = true;
    c->marks |= SIM_SAMPLE_END;
    clear_acc(&c->acc);
}

// One evaluation step. The begin condition opens a window, the evaluation condition
// closes it: at its event, or when its state ends. Without a begin condition a new
// window opens right after each result, so a state that always holds ("Continuous")
// gives a result every scan.
void evaluate(sim_unit* u, int ch) {
    const sim_chan_layout* l = LAYOUT[ch];
    sim_chan* c = &u->ch[ch];
    const uint16_t* begin = words_at(u, l->eval_begin);
    const uint16_t* cond = words_at(u, l->eval_cond);
    const bool has_begin = (begin[0] | begin[1] | begin[2]) != 0;
    const bool by_event = sim_combined_has_events(cond);
    const bool now = sim_combined_cond(cond, &u->regs);
    c->marks = 0;
    c->new_result = false;
    if ((has_begin && sim_event_cond(begin, &u->regs)) || (!has_begin && !c->active)) {
        c->active = true;
        clear_acc(&c->acc);
        c->marks |= SIM_SAMPLE_BEGIN;
    }
    if (c->active && by_event) {
        accumulate(u, &c->acc);
        if (now) {
            produce_result(u, ch);
            c->active = !has_begin;
        }
    } else if (c->active) {
        if (now) accumulate(u, &c->acc);
        if (now && !has_begin) {
            produce_result(u, ch);
        } else if (has_begin && c->cond_before && !now && c->acc.n > 0) {
            produce_result(u, ch);
            c->active = false;
        }
    }
    c->cond_before = now;
}

const uint16_t* selected_teach_entry(const sim_unit* u, int ch) {
    const sim_chan_layout* l = LAYOUT[ch];
    return words_at(u, l->teach + (para(u, l->eval_select) & 3) * SIM_TEACH_ENTRY_WORDS);
}

// Register 2 bits of one channel: under, in tolerance below and above the reference,
// over; then whether it is evaluating.
uint16_t tolerance_bits(const sim_unit* u, int ch) {
    const uint16_t* t = selected_teach_entry(u, ch);
    const int64_t ref = sim_s32(t, 0), low = sim_s32(t, 2), high = sim_s32(t, 4);
    const int64_t r = u->ch[ch].result;
    uint16_t bits;
    if (r < ref - low)
        bits = 0x1;
    else if (r < ref)
        bits = 0x2;
    else if (r <= ref + high)
        bits = 0x4;
    else
        bits = 0x8;
    return static_cast<uint16_t>(bits << (4 * ch));
}

void set_registers_01(sim_unit* u) {
    uint16_t r0 = 0;
    r0 |= u->in0 ? 0x0002 : 0x0001;
    r0 |= u->in1 ? 0x0008 : 0x0004;
    r0 |= u->ch[0].timer_left_ticks > 0 ? 0x0020 : 0x0010;
    r0 |= u->ch[1].timer_left_ticks > 0 ? 0x0080 : 0x0040;
    for (int i = 0; i < 3; i++) r0 |= static_cast<uint16_t>((u->out[i] ? 0x0100 : 0x0200) << (2 * i));
    sim_regs_set(&u->regs, 0, r0);

    // Thresholds with hysteresis: over at the level, under again below level - hysteresis.
    uint16_t r1 = 0;
    for (int ch = 0; ch < 2; ch++) {
        const sim_chan_layout* l = LAYOUT[ch];
        const int v = u->ch[ch].val;
        const int trig[2] = {para(u, l->trigger1), para(u, l->trigger2)};
        const int hyst[2] = {para(u, l->hyst1), para(u, l->hyst2)};
        for (int k = 0; k < 2; k++) {
            const int bit = 4 * ch + 2 * k; // under at bit, over at bit + 1
            const bool was_over = (u->regs.state[1] >> (bit + 1)) & 1;
            const bool over = v >= trig[k] || (was_over && v >= trig[k] - hyst[k]);
            r1 |= static_cast<uint16_t>(1u << (over ? bit + 1 : bit));
        }
    }
    sim_regs_set(&u->regs, 1, r1);
}

void set_register_2(sim_unit* u) {
    uint16_t r2 = static_cast<uint16_t>(tolerance_bits(u, 0) | tolerance_bits(u, 1));
    if (u->ch[0].active) r2 |= 0x0100;
    if (u->ch[1].active) r2 |= 0x0200;
    sim_regs_set(&u->regs, 2, r2);
    uint16_t ev = static_cast<uint16_t>(u->regs.event[2] & 0x00FF);
    if (u->ch[0].new_result) ev |= 0x0100;
    if (u->ch[1].new_result) ev |= 0x0200;
    u->regs.event[2] = ev;
}

void run_counters_and_timers(sim_unit* u) {
    for (int ch = 0; ch < 2; ch++) {
        const sim_chan_layout* l = LAYOUT[ch];
        sim_chan* c = &u->ch[ch];
        if (sim_event_cond(words_at(u, l->counter_cond), &u->regs)) {
            c->counter++;
            u->ch[1 - ch].counter += para(u, l->counter_effect);
        }
        c->timer_left_ticks = std::max<int64_t>(0, c->timer_left_ticks - u->cycle_ticks);
        const int timer_ms = para(u, l->timer);
        if (timer_ms > 0 && sim_event_cond(words_at(u, l->timer_cond), &u->regs)) {
            const bool retrigger = para(u, l->timer_mode) == 0;
            if (c->timer_left_ticks == 0 || retrigger) c->timer_left_ticks = ms_to_ticks(timer_ms);
        }
    }
}

void switch_outputs(sim_unit* u) {
    for (int i = 0; i < 3; i++) {
        const bool want = sim_combined_cond(words_at(u, SW_OUT_COND + i * SIM_COMBINED_COND_WORDS), &u->regs);
        if (want == u->out[i]) continue;
        const int hold_ms = para(u, SW_OUT_HOLD + 2 * i + (u->out[i] ? 1 : 0));
        if (u->now_ticks - u->out_since_ticks[i] >= ms_to_ticks(hold_ms)) {
            u->out[i] = want;
            u->out_since_ticks[i] = u->now_ticks;
        }
    }
}

int analog_source_value(const sim_unit* u, int source) {
    const sim_chan* a = &u->ch[0];
    const sim_chan* b = &u->ch[1];
    switch (source) {
    case 1:
        return a->result >> 16;
    case 2:
        return b->result >> 16;
    case 3:
        return ((a->result >> 16) + (b->result >> 16)) / 2;
    case 4:
        return static_cast<int>(std::min<int32_t>(a->counter, 4095));
    case 5:
        return static_cast<int>(std::min<int32_t>(b->counter, 4095));
    case 6:
        return a->raw;
    case 7:
        return b->raw;
    case 8:
        return a->val;
    case 9:
        return b->val;
    case 10:
        return a->deriv + 2048;
    case 11:
        return b->deriv + 2048;
    default:
        return 0;
    }
}

// The switch inputs advance the source (IN0 by 1, IN1 by 2) and pick the row of the
// same number; without switching the analog output follows row 0.
void drive_analog_output(sim_unit* u) {
    const int sw = para(u, SW_ANAOUT_SWITCH);
    const int advance = ((sw & 1) && u->in0 ? 1 : 0) + ((sw & 2) && u->in1 ? 2 : 0);
    const int source = para(u, SW_ANAOUT_SOURCE) + advance;
    if (para(u, SW_ANAOUT_SOURCE) <= 0 || source > 11) {
        u->ana = 0;
        return;
    }
    const int x = std::clamp(analog_source_value(u, source), 0, 4095);
    const uint16_t* row = words_at(u, SW_ANAOUT_SCALE + advance * SIM_ANAOUT_ROW_WORDS);
    const int32_t gain = static_cast<int16_t>(row[0]);
    const int shift = static_cast<int16_t>(row[1]);
    const int32_t offset = sim_s32(row, 2);
    const int64_t product = static_cast<int64_t>(x) * gain;
    const int64_t scaled = shift <= 15 ? product >> (15 - shift) : product * (int64_t{1} << (shift - 15));
    u->ana = static_cast<int>(std::clamp<int64_t>(scaled + offset, 0, 4095));
}

// The normalisation factor that maps the highest recent raw sample to the target.
double norm_target(const sim_chan* c) {
    const int peak = std::max(std::max(c->peak_now, c->peak_before), 1);
    return std::clamp(SIM_NORM_TARGET / peak, NORM_MIN, NORM_MAX);
}

void track_normalisation(sim_unit* u) {
    if (!sim_combined_cond(words_at(u, SW_NORM_COND), &u->regs)) return;
    const double tau = std::max<int>(1, para(u, SW_NORM_TIMEBASE));
    const double k = std::min(1.0, ticks_to_s(u->cycle_ticks) / tau);
    for (sim_chan& c : u->ch) c.norm_factor += (norm_target(&c) - c.norm_factor) * k;
}

void scan(sim_unit* u) {
    const int64_t t_us = sim_unit_now_us(u);
    const bool b_off = chan_b_off(u);
    const int power[2] = {para(u, sim_chan_a.power), b_off ? 0 : para(u, sim_chan_b.power)};
    sim_sample s;
    sim_signal_sample(&u->signal, t_us, power, &s);
    u->in0 = s.in0;
    u->in1 = s.in1;
    channel_front(u, 0, s.raw[0]);
    channel_front(u, 1, b_off ? 0 : s.raw[1]);
    set_registers_01(u);
    track_normalisation(u);
    evaluate(u, 0);
    if (!b_off) evaluate(u, 1);
    set_register_2(u);
    run_counters_and_timers(u);
    switch_outputs(u);
    drive_analog_output(u);
    const uint16_t inputs =
        static_cast<uint16_t>((u->in0 ? SIM_SAMPLE_IN0 : 0) | (u->in1 ? SIM_SAMPLE_IN1 : 0));
    for (int ch = 0; ch < 2; ch++) {
        if (ch == 1 && b_off) continue;
        const sim_chan_layout* l = LAYOUT[ch];
        sim_chan* c = &u->ch[ch];
        const bool trigger = sim_event_cond(words_at(u, l->osci_cond), &u->regs);
        sim_osci_scan(&c->osci, static_cast<uint16_t>(c->raw | inputs), c->marks, trigger,
                      para(u, l->osci_skip), para(u, l->osci_pretrig));
    }
    if (u->autosend && u->on_autosend && sim_event_cond(words_at(u, SW_AUTOSEND_COND), &u->regs)) {
        uint16_t record[SIM_RECORD_WORDS];
        sim_unit_record(u, record);
        u->on_autosend(u->autosend_ctx, record, t_us);
    }
    // The unit's cycle stretches a little with its load; word 32 shows that.
    if ((u->now_ticks / u->cycle_ticks) % 256 == 0)
        u->cycle_report = static_cast<int>(u->cycle_ticks) + sim_rng_range(&u->rng, 0, 120);
}

} // namespace

void sim_unit_init(sim_unit* u, const sim_unit_config* cfg) {
    std::memset(u, 0, sizeof *u);
    std::snprintf(u->version, sizeof u->version, "%s",
                  cfg && cfg->version_text ? cfg->version_text : SIM_DEFAULT_VERSION);
    u->unit_number = cfg ? cfg->unit_number : 1;
    const uint64_t seed = cfg ? cfg->seed : 1;
    u->seed = seed;
    sim_params_limits(&u->limits);
    sim_params_defaults(u->ram);
    std::memcpy(u->rom, u->ram, sizeof u->rom);
    init_storage(u);
    sim_rng_seed(&u->rng, seed ^ 0x5DEECE66DULL);
    for (sim_chan& c : u->ch) {
        reset_channel(&c);
        c.norm_factor = SIM_NORM_TARGET / SIM_PEAK_A;
        c.peak_before = static_cast<int>(SIM_PEAK_A);
        c.baseline = 300.0;
        clear_acc(&c.acc);
    }
    u->ch[1].norm_factor = SIM_NORM_TARGET / SIM_PEAK_B;
    apply_params(u);
}

void sim_unit_advance(sim_unit* u, int64_t t_us) {
    const int64_t target = t_us * SIM_TICKS_PER_US;
    if (!u->started) {
        u->started = true;
        u->start_ticks = u->now_ticks = target;
        sim_signal_init(&u->signal, u->seed, t_us);
        return;
    }
    const int64_t catch_up = SIM_CATCH_UP_US * SIM_TICKS_PER_US;
    if (target - u->now_ticks > catch_up) u->now_ticks = target - catch_up;
    while (u->now_ticks + u->cycle_ticks <= target) {
        u->now_ticks += u->cycle_ticks;
        scan(u);
    }
}

void sim_unit_record(const sim_unit* u, uint16_t* rec) {
    std::memset(rec, 0, SIM_RECORD_WORDS * sizeof rec[0]);
    for (int ch = 0; ch < 2; ch++) {
        const sim_chan* c = &u->ch[ch];
        uint16_t* r = rec + ch * SR_CHANNEL_B;
        sim_put_s32(r, SR_RESULT, c->result);
        sim_put_s32(r, SR_COUNTER, c->counter);
        r[SR_RAW] = static_cast<uint16_t>(c->raw);
        r[SR_MAX_RAW] = static_cast<uint16_t>(c->max_raw);
        r[SR_VAL] = static_cast<uint16_t>(c->val);
        r[SR_FILTERED] = static_cast<uint16_t>(c->filtered);
        r[SR_DERIVATION] = static_cast<uint16_t>(c->deriv);
        r[SR_AUX] = static_cast<uint16_t>(std::lround(c->baseline));
        r[SR_MIN_VAL] = static_cast<uint16_t>(std::min(c->min_val, c->max_val));
        r[SR_MAX_VAL] = static_cast<uint16_t>(c->max_val);
        r[SR_TRACE4] = static_cast<uint16_t>(c->active ? std::min<int64_t>(c->acc.n, 32767) : 0);
        r[SR_TRACE5] = static_cast<uint16_t>(c->timer_left_ticks / (1000 * SIM_TICKS_PER_US));
        sim_put_s32(r, SR_REFERENCE, sim_s32(selected_teach_entry(u, ch), 0));
    }
    rec[SR_CYCLE_TIME] = static_cast<uint16_t>(u->cycle_report);
    rec[SR_SECONDS] = static_cast<uint16_t>((u->now_ticks - u->start_ticks) / (1000000LL * SIM_TICKS_PER_US));
    rec[SR_ANA] = static_cast<uint16_t>(u->ana);
    uint16_t io = 0;
    if (u->out[0]) io |= SIM_IO_OUT0;
    if (u->out[1]) io |= SIM_IO_OUT1;
    if (u->out[2]) io |= SIM_IO_OUT2;
    if (u->in0) io |= SIM_IO_IN0;
    if (u->in1) io |= SIM_IO_IN1;
    rec[SR_IO] = io;
}

int sim_unit_write_ram(sim_unit* u, const uint16_t* para_words) {
    const int refused = sim_params_take(u->ram, para_words, &u->limits);
    apply_params(u);
    return refused;
}

void sim_unit_store_rom(sim_unit* u) {
    std::memcpy(u->rom, u->ram, sizeof u->rom);
}

int sim_unit_load_rom(sim_unit* u) {
    std::memcpy(u->ram, u->rom, sizeof u->ram);
    apply_params(u);
    return sim_params_count_errors(u->ram, &u->limits);
}

void sim_unit_reset(sim_unit* u, int which) {
    if (which & 1) reset_channel(&u->ch[0]);
    if (which & 2) reset_channel(&u->ch[1]);
}

void sim_unit_norm_now(sim_unit* u) {
    for (sim_chan& c : u->ch) c.norm_factor = norm_target(&c);
}

int sim_unit_osci_status(const sim_unit* u) {
    return (sim_osci_ready(&u->ch[0].osci) ? 1 : 0) | (sim_osci_ready(&u->ch[1].osci) ? 2 : 0);
}
