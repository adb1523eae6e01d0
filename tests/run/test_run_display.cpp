// A record on the main display, the strip chart's range, and the trace
// selectors shared by the main display and the oscillograph window.
#include "run_fixture.h"

#include <climits>
#include <cstring>

namespace {

struct record {
    uint16_t w[MEAS_WORDS] = {};
    void set32(int i, int32_t v) {
        w[i] = static_cast<uint16_t>(static_cast<uint32_t>(v) & 0xFFFF);
        w[i + 1] = static_cast<uint16_t>(static_cast<uint32_t>(v) >> 16);
    }
};

double num(int panel, int ctrl) {
    double v = -1.0;
    GetCtrlVal(panel, ctrl, &v);
    return v;
}

stc_range chart_range() {
    int mode = -1;
    stc_range r = {-1.0, -1.0};
    GetAxisScalingMode(graph1, GRAPH1_STRIP_DATA, UI_LEFT_YAXIS, &mode, &r.low, &r.high);
    EXPECT_EQ(mode, UI_MANUAL);
    return r;
}

} // namespace

// ---- numbers, LEDs and the general settings panel -------------------------------------------

TEST_F(RunTest, RecordValuesReachTheirControls) {
    record r;
    r.set32(0, 0x00010000);             // RESULT A words 0x0000 0x0001
    r.set32(2, 70000);                  // CNTR A beyond the sample range
    r.w[4] = 1234;                      // RAW A
    r.w[6] = static_cast<uint16_t>(-5); // VAL A, signed
    r.w[9] = 77;                        // smoothed A
    r.set32(16, -3 * 32768);            // RESULT B = -1.5
    r.set32(18, 12);                    // CNTR B
    r.w[27] = 4000;                     // MAX VAL B
    r.w[32] = 600;                      // cycle time
    r.w[33] = 90;                       // seconds
    r.w[34] = 2048;                     // ANA
    r.w[35] = 0x0205;                   // OUT0, OUT2, IN1
    update_DATA(r.w, &traces);

    EXPECT_DOUBLE_EQ(num(graph1, GRAPH1_NUM_RESULTA), 1.0);
    EXPECT_DOUBLE_EQ(num(graph1, GRAPH1_NUM_CNTRA), 4095.0);
    EXPECT_DOUBLE_EQ(num(graph1, GRAPH1_NUM_RAWA), 1234.0);
    EXPECT_DOUBLE_EQ(num(graph1, GRAPH1_NUM_VALA), -5.0);
    EXPECT_DOUBLE_EQ(num(graph1, GRAPH1_NUM_SMOOTHA), 77.0);
    EXPECT_DOUBLE_EQ(num(graph1, GRAPH1_NUM_RESULTB), -1.5);
    EXPECT_DOUBLE_EQ(num(graph1, GRAPH1_NUM_CNTRB), 12.0);
    EXPECT_DOUBLE_EQ(num(graph1, GRAPH1_NUM_MAXVALB), 4000.0);
    EXPECT_DOUBLE_EQ(num(graph1, GRAPH1_NUM_ANA), 2048.0);
    EXPECT_DOUBLE_EQ(num(tab7, TAB7_NUM_FREQUENCY), 100.0);
    EXPECT_DOUBLE_EQ(num(tab7, TAB7_NUM_ADTIME), 1.5);
    int led = 99;
    const int leds[5] = {GRAPH1_LED_IN0, GRAPH1_LED_IN1, GRAPH1_LED_OUT0, GRAPH1_LED_OUT1, GRAPH1_LED_OUT2};
    const int want[5] = {0, 1, 1, 0, 1};
    for (int i = 0; i < 5; i++) {
        ASSERT_GE(GetCtrlVal(graph1, leds[i], &led), 0);
        EXPECT_EQ(led != 0, want[i] != 0) << "LED " << i;
    }
}

// A counter the unit counts down (or below zero) used to show 0: the
// numerics' range began at 0.
TEST_F(RunTest, NegativeCountersShowAsSent) {
    record r;
    r.set32(2, -7);
    r.set32(18, INT32_MIN);
    update_DATA(r.w, &traces);
    EXPECT_DOUBLE_EQ(num(graph1, GRAPH1_NUM_CNTRA), -7.0);
    EXPECT_DOUBLE_EQ(num(graph1, GRAPH1_NUM_CNTRB), static_cast<double>(INT32_MIN));
    r.set32(2, 4096);
    r.set32(18, INT32_MAX);
    update_DATA(r.w, &traces);
    EXPECT_DOUBLE_EQ(num(graph1, GRAPH1_NUM_CNTRA), 4095.0);
    EXPECT_DOUBLE_EQ(num(graph1, GRAPH1_NUM_CNTRB), 4095.0);
}

// ---- strip chart range ---------------------------------------------------------------------------

TEST_F(RunTest, ChartStartsOnTheWholeSampleRange) {
    stc_range r = chart_range();
    EXPECT_DOUBLE_EQ(r.low, 0.0);
    EXPECT_DOUBLE_EQ(r.high, 4095.0);
    int n = 0;
    GetCtrlAttribute(graph1, GRAPH1_STRIP_DATA, ATTR_POINTS_PER_SCREEN, &n);
    EXPECT_EQ(n, 129);
    EXPECT_EQ(GetTraceAttribute(graph1, GRAPH1_STRIP_DATA, 3, ATTR_TRACE_VISIBLE, &n), 0);
    EXPECT_EQ(n, 1); // VAL A is on at start
    GetTraceAttribute(graph1, GRAPH1_STRIP_DATA, 5, ATTR_TRACE_VISIBLE, &n);
    EXPECT_EQ(n, 0); // never shown
}

TEST_F(RunTest, NoTraceTakingPartGivesAUnitRangeInTheMiddle) {
    traces.video_on_A = traces.video_on_B = 0;
    traces.stc_span = 100;
    record r;
    update_DATA(r.w, &traces);
    stc_range c = chart_range();
    EXPECT_DOUBLE_EQ(c.low, 2046.5);
    EXPECT_DOUBLE_EQ(c.high, 2047.5);
}

TEST_F(RunTest, SteadyRawValueIsFramedBySpan) {
    traces.video_on_A = traces.video_on_B = 0;
    traces.raw_on_A = 1;
    traces.stc_span = 100;
    record r;
    r.w[4] = 1000;
    for (int i = 0; i < STC_ROWS; i++) update_DATA(r.w, &traces);
    stc_range c = chart_range();
    EXPECT_DOUBLE_EQ(c.low, 900.0);
    EXPECT_DOUBLE_EQ(c.high, 1100.0);
    double pts[200];
    int n = GetStripChartPoints(graph1, GRAPH1_STRIP_DATA, 1, pts, 200);
    ASSERT_GE(n, STC_ROWS);
    EXPECT_DOUBLE_EQ(pts[n - 1], 1000.0);
}

// ---- trace selectors -------------------------------------------------------------------------

TEST_F(RunTest, SelectorOnOscillographWindowSwitchesMainDisplayToo) {
    PlotY(graph1, GRAPH1_GRAPH_VIDEOA, std::vector<double>(8, 1.0).data(), 8, UI_DOUBLE, UI_THIN_LINE,
          UI_SOLID, UI_BLUE);
    commit(osci1, OSCI1_BINS_VALA, 0);
    EXPECT_EQ(traces.video_on_A, 0);
    int v = -1;
    GetCtrlVal(graph1, GRAPH1_BINS_VALA, &v);
    EXPECT_EQ(v, 0);
    GetTraceAttribute(graph1, GRAPH1_STRIP_DATA, 3, ATTR_TRACE_VISIBLE, &v);
    EXPECT_EQ(v, 0);
    GetCtrlAttribute(graph1, GRAPH1_GRAPH_VIDEOA, ATTR_NUM_PLOTS, &v);
    EXPECT_EQ(v, 0); // the channel A video curve went with it
}

TEST_F(RunTest, PairedSwitchAndZoomRingsSetTwoFieldsEach) {
    commit(graph1, GRAPH1_BINS_RAWMAXB, 1);
    EXPECT_EQ(traces.raw_on_B, 1);
    EXPECT_EQ(traces.max_on_B, 1);
    commit(graph1, GRAPH1_RING_ZOOMX, 256);
    EXPECT_EQ(traces.stc_points, 256);
    EXPECT_EQ(traces.zoom_span_x, 256);
    commit(graph1, GRAPH1_RING_ZOOMY, 512);
    EXPECT_EQ(traces.stc_span, 512);
    EXPECT_EQ(traces.zoom_span_y, 512);
    int v = 0;
    GetCtrlVal(osci1, OSCI1_BINS_RAWMAXB, &v);
    EXPECT_EQ(v, 1);
    GetCtrlVal(osci1, OSCI1_RING_ZOOMX, &v);
    EXPECT_EQ(v, 256);
    GetCtrlVal(osci1, OSCI1_RING_ZOOMY, &v);
    EXPECT_EQ(v, 512);
    GetCtrlAttribute(graph1, GRAPH1_STRIP_DATA, ATTR_POINTS_PER_SCREEN, &v);
    EXPECT_EQ(v, 33);
    GetTraceAttribute(graph1, GRAPH1_STRIP_DATA, 14, ATTR_TRACE_VISIBLE, &v);
    EXPECT_EQ(v, 1);
}
