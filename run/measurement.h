// Measurement records of the RUN mode: decoding the 36 words the unit sends
// into the values the main display shows, the trace record shared by the strip
// chart and the oscillograph window, the strip chart's 128-record history and
// its automatic vertical range.
//
// All of it is arithmetic on plain records; the display code applies the
// results to its controls, so what is shown can be tested without a screen.
#pragma once

#include "params/para_record.h"

#include <cstdint>

constexpr int MEAS_WORDS = 36;
constexpr int MEAS_CNTR_LIMIT = 4095; // counters are shown limited to the sample range
constexpr int STC_ROWS = 128;
constexpr int STC_TRACES = 24;
constexpr double STC_TOP = 4095.0;

// ---- decoded record ------------------------------------------------------------------------
struct meas_channel {
    double result;    // 16.16 fixed point / 65536
    int32_t cntr;     // limited to MEAS_CNTR_LIMIT
    int16_t raw;      // unnormalised sample
    int16_t max;      // maximum of raw
    int16_t val;      // normalised value
    int16_t filtered; // IIR-filtered value
    int16_t derivation;
    int16_t aux;
    int16_t minval;
    int16_t maxval;
    int16_t trace4;
    int16_t trace5;
    double reference; // 16.16 fixed point / 65536
};

enum { LED_IN0, LED_IN1, LED_OUT0, LED_OUT1, LED_OUT2, LED_COUNT };

struct meas_values {
    meas_channel chan[2]; // A, B
    uint16_t cycle_time;  // word 32
    uint16_t seconds;     // word 33
    double cycle_rate;    // 60000 / cycle_time, 0.0 while the unit reports 0
    double minutes;       // seconds / 60
    int16_t ana;          // analog output level
    int16_t io;           // digital I/O bits
    int led[LED_COUNT];   // -1 on, 0 off
};

// Low word first, as the record carries 32-bit values.
inline int32_t meas_word32(const uint16_t* w, int i) {
    return static_cast<int32_t>(static_cast<uint32_t>(w[i]) | static_cast<uint32_t>(w[i + 1]) << 16);
}

// Decodes the MEAS_WORDS words of `rec` (host order) into `out`.
void meas_decode(const uint16_t* rec, meas_values* out);

// Milliseconds per oscillograph sample when the time axis is in milliseconds
// (`osci_mode` set): word 32 x `osci_skipA` / 60000; else 1.0.
double meas_osci_gain(const uint16_t* rec, int osci_mode, int osci_skipA);

// ---- trace record ---------------------------------------------------------------------------
// Shared by the strip chart and the oscillograph window; the twelve selectors
// of both panels write it.
struct trace_record {
    int raw_on_A;
    int max_on_A;
    int video_on_A;
    int minval_on_A;
    int maxval_on_A;
    int cntr_on_A;
    int result_on_A;
    int raw_on_B;
    int max_on_B;
    int video_on_B;
    int minval_on_B;
    int maxval_on_B;
    int cntr_on_B;
    int result_on_B;
    int stc_span;    // margin around the autoscaled range; initial height of the range
    int stc_points;  // strip chart points per screen = stc_points / 8 + 1
    int zoom_span_y; // oscillograph window: counts visible vertically
    int zoom_span_x; // oscillograph window: sample positions visible horizontally
    double stc_offset;
};
extern const trace_record traces_initial;
extern trace_record traces;

// ---- the 24 strip chart traces --------------------------------------------------------------
// Line styles and widths in the run-time's plot numbers.
enum { STC_SOLID = 0, STC_DASH = 1, STC_DOT = 2, STC_DASH_DOT = 3 };
enum { STC_THIN = 0, STC_THICK = 5 };

struct stc_trace {
    unsigned char r, g, b;
    int line;
    int width;
    int trace_record::*shown; // flag that shows it; null: never shown
    int scales;               // 1 when it takes part in the automatic range
};
extern const stc_trace stc_traces[STC_TRACES];

// Whether trace t (0-based) is shown under `tr`.
int stc_trace_visible(const trace_record* tr, int t);
// Points per screen from `stc_points`, integer division (1024 gives 129).
int stc_points_per_screen(const trace_record* tr);

struct stc_range {
    double low;
    double high;
};
// The manual range the chart starts with: stc_offset to stc_offset + stc_span,
// the top limited to 4095.
stc_range stc_initial_range(const trace_record* tr);

// ---- history and automatic range ---------------------------------------------------------------
// One row per record, oldest first; never cleared, so a new RUN continues it.
extern double stc_data[STC_ROWS][STC_TRACES];

// The 24 trace values of a record in trace order. VAL takes the filtered or
// derivation value when `para` selects it; the tolerance traces use the first
// teach entry of each channel.
void stc_values(const uint16_t* rec, const para_record* para, double row[STC_TRACES]);
// Drops the oldest row and appends `row`.
void stc_push(double data[STC_ROWS][STC_TRACES], const double row[STC_TRACES]);
// The vertical range for the history: the averages of the scaling traces that
// are shown, widened by stc_span on both sides and kept within 0 to 4095; with
// no such trace a range of height 1.0 in the middle.
stc_range stc_autoscale(const double data[STC_ROWS][STC_TRACES], const trace_record* tr);
// The strip chart part of showing a record: values, push, range.
stc_range stc_update(double data[STC_ROWS][STC_TRACES], const uint16_t* rec, const para_record* para,
                     const trace_record* tr);
