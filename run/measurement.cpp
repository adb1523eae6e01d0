#include "run/measurement.h"

#include <cstring>

namespace {

int16_t word16(const uint16_t* w, int i) {
    return static_cast<int16_t>(w[i]);
}

double fixed(const uint16_t* w, int i) {
    return meas_word32(w, i) / 65536.0;
}

int32_t limit_cntr(int32_t v) {
    return v > MEAS_CNTR_LIMIT ? MEAS_CNTR_LIMIT : v;
}

// Channel B's words follow channel A's at this distance.
constexpr int chan_stride = 16;

void decode_channel(const uint16_t* w, int base, meas_channel* c) {
    c->result = fixed(w, base + 0);
    c->cntr = limit_cntr(meas_word32(w, base + 2));
    c->raw = word16(w, base + 4);
    c->max = word16(w, base + 5);
    c->val = word16(w, base + 6);
    c->filtered = word16(w, base + 7);
    c->derivation = word16(w, base + 8);
    c->aux = word16(w, base + 9);
    c->minval = word16(w, base + 10);
    c->maxval = word16(w, base + 11);
    c->trace4 = word16(w, base + 12);
    c->trace5 = word16(w, base + 13);
    c->reference = fixed(w, base + 14);
}

// The six trace values of one channel that only depend on the record and the
// channel's parameters: VAL and its source choice, the reference and its band.
void channel_values(const uint16_t* w, int base, const iir_block& iir, int16_t derivation,
                    const teach_entry& teach, double* row) {
    const int val_word = iir.use_filtered ? 7 : derivation ? 8 : 6;
    const double ref = meas_word32(w, base + 14);
    row[0] = word16(w, base + 4);
    row[1] = word16(w, base + 5);
    row[2] = word16(w, base + val_word);
    row[3] = word16(w, base + 12);
    row[4] = word16(w, base + 13);
    row[5] = word16(w, base + 10);
    row[6] = word16(w, base + 11);
    row[7] = limit_cntr(meas_word32(w, base + 2));
    row[8] = fixed(w, base + 0);
    // In double: the sum of two 32-bit fixed-point values can leave 32 bits.
    row[9] = ref / 65536.0;
    row[10] = (ref + teach.tol_high) / 65536.0;
    row[11] = (ref - teach.tol_low) / 65536.0;
}

} // namespace

void meas_decode(const uint16_t* rec, meas_values* out) {
    decode_channel(rec, 0, &out->chan[0]);
    decode_channel(rec, chan_stride, &out->chan[1]);
    out->cycle_time = rec[32];
    out->seconds = rec[33];
    // A unit that has not measured a cycle yet reports 0; show 0, not infinity.
    out->cycle_rate = out->cycle_time ? 60000.0 / out->cycle_time : 0.0;
    out->minutes = out->seconds / 60.0;
    out->ana = word16(rec, 34);
    out->io = word16(rec, 35);
    static const int led_bit[LED_COUNT] = {8, 9, 0, 1, 2};
    for (int i = 0; i < LED_COUNT; i++) out->led[i] = (rec[35] >> led_bit[i] & 1) ? -1 : 0;
}

double meas_osci_gain(const uint16_t* rec, int osci_mode, int osci_skipA) {
    if (!osci_mode) return 1.0;
    return static_cast<double>(rec[32]) * osci_skipA / 60000.0;
}

// ---- trace record and traces ----

const trace_record traces_initial = {0, 0, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 4096, 1024, 4096, 1024, 0.0};
trace_record traces = traces_initial;

using T = trace_record;
const stc_trace stc_traces[STC_TRACES] = {
    {0, 0, 51, STC_SOLID, STC_THIN, &T::raw_on_A, 1},
    {0, 0, 102, STC_DASH, STC_THIN, &T::max_on_A, 0},
    {0, 0, 255, STC_SOLID, STC_THICK, &T::video_on_A, 1},
    {0, 0, 255, STC_DASH, STC_THIN, &T::video_on_A, 0},
    {0, 0, 255, STC_DASH, STC_THIN, nullptr, 0},
    {51, 0, 102, STC_DASH_DOT, STC_THICK, &T::minval_on_A, 1},
    {102, 0, 204, STC_SOLID, STC_THICK, &T::maxval_on_A, 1},
    {153, 0, 153, STC_SOLID, STC_THICK, &T::cntr_on_A, 1},
    {255, 0, 0, STC_SOLID, STC_THICK, &T::result_on_A, 1},
    {255, 0, 0, STC_SOLID, STC_THIN, &T::result_on_A, 0},
    {255, 0, 0, STC_DOT, STC_THIN, &T::result_on_A, 0},
    {255, 0, 0, STC_DOT, STC_THIN, &T::result_on_A, 0},
    {0, 51, 0, STC_SOLID, STC_THIN, &T::raw_on_B, 1},
    {0, 102, 0, STC_DASH, STC_THIN, &T::max_on_B, 0},
    {0, 255, 0, STC_SOLID, STC_THICK, &T::video_on_B, 1},
    {0, 255, 0, STC_DASH, STC_THIN, &T::video_on_B, 0},
    {0, 255, 0, STC_DASH, STC_THIN, nullptr, 0},
    {51, 102, 0, STC_DASH_DOT, STC_THICK, &T::minval_on_B, 1},
    {102, 204, 0, STC_SOLID, STC_THICK, &T::maxval_on_B, 1},
    {0, 153, 153, STC_SOLID, STC_THICK, &T::cntr_on_B, 1},
    {255, 153, 0, STC_SOLID, STC_THICK, &T::result_on_B, 1},
    {255, 153, 0, STC_SOLID, STC_THIN, &T::result_on_B, 0},
    {255, 153, 0, STC_DOT, STC_THIN, &T::result_on_B, 0},
    {255, 153, 0, STC_DOT, STC_THIN, &T::result_on_B, 0},
};

int stc_trace_visible(const trace_record* tr, int t) {
    if (t < 0 || t >= STC_TRACES || !stc_traces[t].shown) return 0;
    return tr->*stc_traces[t].shown != 0;
}

int stc_points_per_screen(const trace_record* tr) {
    return tr->stc_points / 8 + 1;
}

stc_range stc_initial_range(const trace_record* tr) {
    stc_range r = {tr->stc_offset, tr->stc_offset + tr->stc_span};
    if (r.high > STC_TOP) r.high = STC_TOP;
    return r;
}

// ---- history and automatic range ----

double stc_data[STC_ROWS][STC_TRACES];

void stc_values(const uint16_t* rec, const para_record* para, double row[STC_TRACES]) {
    channel_values(rec, 0, para->iirA, para->derivationA, para->teachA[0], row);
    channel_values(rec, chan_stride, para->iirB, para->derivationB, para->teachB[0], row + 12);
}

void stc_push(double data[STC_ROWS][STC_TRACES], const double row[STC_TRACES]) {
    std::memmove(data[0], data[1], sizeof(double) * STC_TRACES * (STC_ROWS - 1));
    std::memcpy(data[STC_ROWS - 1], row, sizeof(double) * STC_TRACES);
}

stc_range stc_autoscale(const double data[STC_ROWS][STC_TRACES], const trace_record* tr) {
    stc_range r = {STC_TOP, 0.0};
    for (int t = 0; t < STC_TRACES; t++) {
        if (!stc_traces[t].scales || !stc_trace_visible(tr, t)) continue;
        double sum = 0.0;
        for (int i = 0; i < STC_ROWS; i++) sum += data[i][t];
        const double avg = sum / STC_ROWS;
        if (avg < r.low) r.low = avg;
        if (avg > r.high) r.high = avg;
    }
    r.low -= tr->stc_span;
    r.high += tr->stc_span;
    if (r.low > r.high) {
        r.high = (r.low + r.high) / 2.0;
        r.low = r.high - 1.0;
    }
    if (r.low < 0.0) r.low = 0.0;
    if (r.high > STC_TOP) r.high = STC_TOP;
    return r;
}

stc_range stc_update(double data[STC_ROWS][STC_TRACES], const uint16_t* rec, const para_record* para,
                     const trace_record* tr) {
    double row[STC_TRACES];
    stc_values(rec, para, row);
    stc_push(data, row);
    return stc_autoscale(data, tr);
}
