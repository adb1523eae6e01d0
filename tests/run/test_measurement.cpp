// Measurement records: decoding for the display, strip chart values, history
// and the automatic vertical range.
#include "run/measurement.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

void put32(uint16_t* r, int w, int32_t v) {
    r[w] = static_cast<uint16_t>(static_cast<uint32_t>(v) & 0xFFFF);
    r[w + 1] = static_cast<uint16_t>(static_cast<uint32_t>(v) >> 16);
}

struct Record : ::testing::Test {
    uint16_t r[MEAS_WORDS] = {};
    meas_values v;
    const meas_values& decoded() {
        std::memset(&v, 0x5A, sizeof v);
        meas_decode(r, &v);
        return v;
    }
};

struct Chart : ::testing::Test {
    double h[STC_ROWS][STC_TRACES] = {};
    trace_record tr = traces_initial;
    para_record para{};
    uint16_t r[MEAS_WORDS] = {};

    void none_on() {
        tr.raw_on_A = tr.max_on_A = tr.video_on_A = tr.minval_on_A = tr.maxval_on_A = tr.cntr_on_A = 0;
        tr.result_on_A = tr.raw_on_B = tr.max_on_B = tr.video_on_B = tr.minval_on_B = 0;
        tr.maxval_on_B = tr.cntr_on_B = tr.result_on_B = 0;
    }
    stc_range feed(int n) {
        stc_range g{};
        for (int i = 0; i < n; i++) g = stc_update(h, r, &para, &tr);
        return g;
    }
    double newest(int trace) const { return h[STC_ROWS - 1][trace - 1]; }
};

} // namespace

// ---- decoding ----

TEST_F(Record, ResultIs16Dot16WithLowWordFirst) {
    r[0] = 0x0000;
    r[1] = 0x0001;
    EXPECT_DOUBLE_EQ(decoded().chan[0].result, 1.0);
    put32(r, 16, -98304);
    EXPECT_DOUBLE_EQ(decoded().chan[1].result, -1.5);
    put32(r, 14, 3 * 65536 + 16384);
    EXPECT_DOUBLE_EQ(decoded().chan[0].reference, 3.25);
}

// The counters are 32-bit values spread over two words: 70000 is 4464 in its
// low word, and 65636 only 100, which a 16-bit reading would show unclipped.
TEST_F(Record, CountersAreLimitedTo4095) {
    put32(r, 2, 70000);
    put32(r, 18, 65536 + 100);
    EXPECT_EQ(decoded().chan[0].cntr, 4095);
    EXPECT_EQ(v.chan[1].cntr, 4095);
    put32(r, 2, 4095);
    put32(r, 18, 4094);
    EXPECT_EQ(decoded().chan[0].cntr, 4095);
    EXPECT_EQ(v.chan[1].cntr, 4094);
}

TEST_F(Record, SixteenBitWordsAreSignedInRecordOrder) {
    for (int w = 4; w <= 13; w++) r[w] = static_cast<uint16_t>(w);
    for (int w = 20; w <= 29; w++) r[w] = static_cast<uint16_t>(w);
    r[4] = 0xFFFF;
    const meas_channel& a = decoded().chan[0];
    EXPECT_EQ(a.raw, -1);
    EXPECT_EQ(a.max, 5);
    EXPECT_EQ(a.val, 6);
    EXPECT_EQ(a.filtered, 7);
    EXPECT_EQ(a.derivation, 8);
    EXPECT_EQ(a.aux, 9);
    EXPECT_EQ(a.minval, 10);
    EXPECT_EQ(a.maxval, 11);
    EXPECT_EQ(a.trace4, 12);
    EXPECT_EQ(a.trace5, 13);
    const meas_channel& b = v.chan[1];
    EXPECT_EQ(b.raw, 20);
    EXPECT_EQ(b.val, 22);
    EXPECT_EQ(b.minval, 26);
    EXPECT_EQ(b.trace5, 29);
}

TEST_F(Record, LedsFromWord35AndAnaFromWord34) {
    r[35] = 0x0100 | 0x0200 | 0x0001 | 0x0004 | 0x0080;
    r[34] = 0xFFF6;
    const meas_values& d = decoded();
    EXPECT_EQ(d.led[LED_IN0], -1);
    EXPECT_EQ(d.led[LED_IN1], -1);
    EXPECT_EQ(d.led[LED_OUT0], -1);
    EXPECT_EQ(d.led[LED_OUT1], 0);
    EXPECT_EQ(d.led[LED_OUT2], -1);
    EXPECT_EQ(d.ana, -10);
    r[35] = 0x0002;
    decoded();
    EXPECT_EQ(v.led[LED_IN0], 0);
    EXPECT_EQ(v.led[LED_OUT1], -1);
}

TEST_F(Record, GeneralSettingsValuesFromUnsignedWords) {
    r[32] = 40000;
    r[33] = 65535;
    EXPECT_DOUBLE_EQ(decoded().cycle_rate, 1.5);
    EXPECT_DOUBLE_EQ(v.minutes, 65535 / 60.0);
    r[32] = 0;
    EXPECT_DOUBLE_EQ(decoded().cycle_rate, 0.0);
}

TEST_F(Record, OsciGainOnlyInMillisecondMode) {
    r[32] = 45000;
    EXPECT_DOUBLE_EQ(meas_osci_gain(r, 0, 4), 1.0);
    EXPECT_DOUBLE_EQ(meas_osci_gain(r, 1, 4), 3.0);
}

// ---- traces ----

TEST(Traces, InitialRecord) {
    EXPECT_EQ(traces.video_on_A, 1);
    EXPECT_EQ(traces.video_on_B, 1);
    EXPECT_EQ(traces.raw_on_A + traces.max_on_A + traces.result_on_B + traces.cntr_on_B, 0);
    EXPECT_EQ(traces.stc_span, 4096);
    EXPECT_EQ(traces.zoom_span_x, 1024);
    EXPECT_EQ(stc_points_per_screen(&traces), 129);
    const stc_range g = stc_initial_range(&traces);
    EXPECT_EQ(g.low, 0.0);
    EXPECT_EQ(g.high, 4095.0);
}

TEST(Traces, VisibilityFollowsFlagsAndTheTraceFivesNever) {
    trace_record tr = traces_initial;
    EXPECT_EQ(stc_trace_visible(&tr, 2), 1); // VAL A
    EXPECT_EQ(stc_trace_visible(&tr, 3), 1); // trace 4 goes with it
    EXPECT_EQ(stc_trace_visible(&tr, 4), 0);
    EXPECT_EQ(stc_trace_visible(&tr, 16), 0);
    tr.result_on_B = 1;
    for (int t = 20; t < 24; t++) EXPECT_EQ(stc_trace_visible(&tr, t), 1) << t;
    EXPECT_EQ(stc_trace_visible(&tr, 24), 0);
}

TEST_F(Chart, ValSourceFollowsFilterThenDerivation) {
    r[6] = 60;
    r[7] = 70;
    r[8] = 80;
    r[22] = 220;
    feed(1);
    EXPECT_EQ(newest(3), 60);
    para.derivationA = 1;
    feed(1);
    EXPECT_EQ(newest(3), 80);
    para.iirA.use_filtered = 1;
    feed(1);
    EXPECT_EQ(newest(3), 70);
    EXPECT_EQ(newest(15), 220); // channel B keeps its own choice
}

TEST_F(Chart, ReferenceBandFromFirstTeachEntry) {
    put32(r, 30, 100 * 65536);
    para.teachB[0].tol_high = 5 * 65536;
    para.teachB[0].tol_low = 65536 / 2;
    para.teachB[1].tol_high = 99 * 65536;
    put32(r, 18, 70000);
    feed(1);
    EXPECT_DOUBLE_EQ(newest(22), 100.0);
    EXPECT_DOUBLE_EQ(newest(23), 105.0);
    EXPECT_DOUBLE_EQ(newest(24), 99.5);
    EXPECT_EQ(newest(20), 4095); // CNTR B drawn at 4095
}

// The sum leaves 32 bits; wrapping would put the band far below the reference.
TEST_F(Chart, ReferenceBandDoesNotWrap) {
    put32(r, 14, INT32_MAX);
    para.teachA[0].tol_high = INT32_MAX;
    feed(1);
    EXPECT_GT(newest(11), newest(10));
}

TEST_F(Chart, HistoryDropsTheOldestRow) {
    for (int i = 0; i < STC_ROWS + 2; i++) {
        r[4] = static_cast<uint16_t>(i);
        feed(1);
    }
    EXPECT_EQ(h[0][0], 2);
    EXPECT_EQ(h[STC_ROWS - 1][0], STC_ROWS + 1);
}

// ---- automatic range ----

TEST_F(Chart, NoTraceGivesUnitRangeInTheMiddle) {
    none_on();
    tr.stc_span = 100;
    const stc_range g = feed(1);
    EXPECT_DOUBLE_EQ(g.low, 2046.5);
    EXPECT_DOUBLE_EQ(g.high, 2047.5);
}

TEST_F(Chart, InitialSpanCoversTheWholeRange) {
    r[6] = 2000;
    const stc_range g = feed(5);
    EXPECT_DOUBLE_EQ(g.low, 0.0);
    EXPECT_DOUBLE_EQ(g.high, 4095.0);
}

TEST_F(Chart, SteadyRawASettlesAfter128Records) {
    none_on();
    tr.raw_on_A = 1;
    tr.stc_span = 100;
    r[4] = 1000;
    stc_range g = feed(64);
    EXPECT_DOUBLE_EQ(g.low, 400.0); // half the history still holds zeros
    EXPECT_DOUBLE_EQ(g.high, 600.0);
    g = feed(64);
    EXPECT_DOUBLE_EQ(g.low, 900.0);
    EXPECT_DOUBLE_EQ(g.high, 1100.0);
}

TEST_F(Chart, MaxReferenceAndSecondValTracesDoNotScale) {
    none_on();
    tr.raw_on_A = tr.max_on_A = tr.result_on_B = 1;
    tr.stc_span = 100;
    r[4] = 1000;
    r[5] = 3000;  // MAX A
    r[12] = 3500; // trace 4
    put32(r, 30, 3900 * 65536);
    put32(r, 16, 1100 * 65536);
    const stc_range g = feed(STC_ROWS);
    EXPECT_DOUBLE_EQ(g.low, 900.0);
    EXPECT_DOUBLE_EQ(g.high, 1200.0); // RESULT B scales, its reference not
}

TEST_F(Chart, RangeIsKeptWithinTheSampleRange) {
    none_on();
    tr.cntr_on_A = tr.result_on_B = 1;
    tr.stc_span = 100;
    put32(r, 2, 50);
    put32(r, 16, 9000 * 65536);
    const stc_range g = feed(STC_ROWS);
    EXPECT_DOUBLE_EQ(g.low, 0.0);
    EXPECT_DOUBLE_EQ(g.high, 4095.0);
}
